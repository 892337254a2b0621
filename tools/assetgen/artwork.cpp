// SPDX-License-Identifier: GPL-3.0-or-later
#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace tavrin::assets {

namespace {

// The game shown: O moved first and completed the diagonal 1-5-9 on its
// third move; X holds two cells.
constexpr std::array<int, 3> kNoughtCells{0, 4, 8};
constexpr std::array<int, 2> kCrossCells{2, 3};

void drawNought(QPainter& painter, QPointF centre, qreal radius)
{
    painter.drawEllipse(centre, radius, radius);
}

void drawCross(QPainter& painter, QPointF centre, qreal half)
{
    painter.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    painter.drawLine(centre + QPointF(half, -half), centre + QPointF(-half, half));
}

QPen roundPen(const QColor& colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A 3 x 3 board with the game's marks, in a square of the given side whose
// top left is at the origin. The pens' widths are in the same units.
struct BoardStyle {
    QColor grid, nought, cross, strike, shadow;
    qreal gridWidth, markWidth, markHalf, strikeWidth, gridInset;
    QPointF shadowOffset;
};

void drawBoard(QPainter& painter, qreal side, const BoardStyle& style)
{
    const qreal cell = side / 3;
    auto centreOf = [cell](int index) { return QPointF((index % 3 + 0.5) * cell, (index / 3 + 0.5) * cell); };

    painter.setBrush(Qt::NoBrush);
    painter.setPen(roundPen(style.grid, style.gridWidth));
    for (int i = 1; i < 3; ++i) {
        painter.drawLine(QPointF(i * cell, style.gridInset), QPointF(i * cell, side - style.gridInset));
        painter.drawLine(QPointF(style.gridInset, i * cell), QPointF(side - style.gridInset, i * cell));
    }

    auto drawMarks = [&](QPointF offset, const QColor* onlyColour) {
        painter.setPen(roundPen(onlyColour ? *onlyColour : style.nought, style.markWidth));
        for (const int index : kNoughtCells)
            drawNought(painter, centreOf(index) + offset, style.markHalf);
        painter.setPen(roundPen(onlyColour ? *onlyColour : style.cross, style.markWidth));
        for (const int index : kCrossCells)
            drawCross(painter, centreOf(index) + offset, style.markHalf * 0.92);
    };
    if (style.shadow.isValid())
        drawMarks(style.shadowOffset, &style.shadow);
    drawMarks({}, nullptr);

    if (style.strike.isValid()) {
        const qreal reach = cell * 0.36;
        painter.setPen(roundPen(style.strike, style.strikeWidth));
        painter.drawLine(centreOf(0) - QPointF(reach, reach), centreOf(8) + QPointF(reach, reach));
    }
}

}  // namespace

QImage logoImage()
{
    QImage image(kLogoSize, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(kLogoSize.width()) / kLogoShownSize.width(),
                  qreal(kLogoSize.height()) / kLogoShownSize.height());
    const QRectF shown(QPointF(0, 0), QSizeF(kLogoShownSize));

    QLinearGradient sky(shown.topLeft(), shown.bottomLeft());
    sky.setColorAt(0, QColor(0x1d, 0x2b, 0x53));
    sky.setColorAt(0.55, QColor(0x27, 0x4c, 0x77));
    sky.setColorAt(1, QColor(0x2a, 0x7f, 0x86));
    painter.fillRect(shown, sky);

    QRadialGradient glow(shown.center(), shown.width() * 0.62);
    glow.setColorAt(0, QColor(255, 244, 214, 70));
    glow.setColorAt(1, QColor(255, 244, 214, 0));
    painter.fillRect(shown, glow);

    // A few faint dots of light around the board.
    painter.setPen(Qt::NoPen);
    const std::array<QPointF, 9> dots{{{9, 8}, {27, 15}, {104, 7}, {121, 21}, {113, 126},
                                       {16, 133}, {64, 6}, {5, 71}, {124, 84}}};
    for (std::size_t i = 0; i < dots.size(); ++i) {
        painter.setBrush(QColor(255, 246, 220, 60 + 25 * int(i % 3)));
        painter.drawEllipse(dots[i], 0.9 + 0.4 * (i % 2), 0.9 + 0.4 * (i % 2));
    }

    const qreal side = 105;
    painter.translate((shown.width() - side) / 2, (shown.height() - side) / 2);
    drawBoard(painter, side,
              BoardStyle{QColor(0xf6, 0xee, 0xda), QColor(0xff, 0x70, 0x5a), QColor(0xff, 0xcf, 0x5c),
                         QColor(255, 255, 255, 150), QColor(0, 0, 0, 70), 3.6, 5.2, 11, 3.2, 2,
                         QPointF(1.3, 1.6)});
    painter.end();
    return image;
}

QImage iconImage(int size)
{
    const QColor grid(0xf6, 0xee, 0xda);
    const QColor nought(0xff, 0x70, 0x5a);
    const QColor cross(0xff, 0xcf, 0x5c);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The design is drawn on a 256-unit square; its lines and cells fall on
    // whole pixels at 16 and 32 pixels.
    painter.scale(size / 256.0, size / 256.0);

    QLinearGradient tileFill(0, 0, 0, 256);
    tileFill.setColorAt(0, QColor(0x2c, 0x4f, 0x84));
    tileFill.setColorAt(1, QColor(0x1b, 0x2d, 0x55));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tileFill);
    painter.drawRoundedRect(QRectF(0, 0, 256, 256), 48, 48);

    painter.setBrush(Qt::NoBrush);
    if (size <= 16) {
        // A board's cells would be three pixels wide: one O and one X only.
        painter.setPen(roundPen(nought, 24));
        drawNought(painter, QPointF(84, 84), 40);
        painter.setPen(roundPen(cross, 24));
        drawCross(painter, QPointF(172, 172), 38);
        painter.end();
        return image;
    }

    // Grid lines 16 units wide centred 80 apart.
    painter.translate(8, 8);
    drawBoard(painter, 240,
              BoardStyle{grid, nought, cross, size >= 64 ? QColor(255, 255, 255, 170) : QColor(), QColor(), 16, 14,
                         19, 12, 16, {}});
    painter.end();
    return image;
}

}  // namespace tavrin::assets
