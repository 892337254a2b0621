// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphicalbutton.h"

#include "keyascii.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace tavrin {

namespace {

// The classic two-pixel bevel: outer and inner edges, lit from the top left
// when raised. Drawn with filled rectangles, not lines, so that on a scaled
// screen the edges grow with the button instead of staying one device pixel.
void drawBevel(QPainter& painter, const QRect& r, const QPalette& palette, bool sunken, const QBrush& fill)
{
    const QColor outerLit = sunken ? palette.color(QPalette::Shadow) : palette.color(QPalette::Light);
    const QColor outerShade = sunken ? palette.color(QPalette::Light) : palette.color(QPalette::Shadow);
    const QColor innerLit = sunken ? palette.color(QPalette::Dark) : palette.color(QPalette::Button);
    const QColor innerShade = sunken ? palette.color(QPalette::Button) : palette.color(QPalette::Dark);
    const int x = r.x();
    const int y = r.y();
    const int w = r.width();
    const int h = r.height();
    if (w < 2 || h < 2)
        return;
    painter.fillRect(x, y, 1, h - 1, outerLit);
    painter.fillRect(x, y, w - 1, 1, outerLit);
    painter.fillRect(x, y + h - 1, w, 1, outerShade);
    painter.fillRect(x + w - 1, y, 1, h, outerShade);
    if (w <= 4 || h <= 4)
        return;
    painter.fillRect(x + 1, y + 1, 1, h - 3, innerLit);
    painter.fillRect(x + 1, y + 1, w - 3, 1, innerLit);
    painter.fillRect(x + 1, y + h - 2, w - 2, 1, innerShade);
    painter.fillRect(x + w - 2, y + 1, 1, h - 2, innerShade);
    painter.fillRect(x + 2, y + 2, w - 4, h - 4, fill);
}

}  // namespace

GraphicalButton::GraphicalButton(QWidget* parent) : QPushButton(parent) {}

void GraphicalButton::setFaceColor(const QColor& color)
{
    if (color == face)
        return;
    face = color;
    update();
}

QColor GraphicalButton::shownFaceColor() const
{
    return face.isValid() ? face : palette().color(QPalette::Button);
}

void GraphicalButton::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QBrush fill(shownFaceColor());
    drawBevel(painter, rect(), palette(), isDown(), fill);

    QRect textArea = rect();
    if (isDown())
        textArea.translate(1, 1);
    painter.setFont(font());
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
    } else {
        // Etched like a disabled caption, yet dark enough that a taken
        // cell's mark stays easy to read.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(textArea.translated(1, 1), flags, text());
        const QColor ink = palette().color(QPalette::Active, QPalette::ButtonText);
        const QColor face = palette().color(QPalette::Active, QPalette::Button);
        painter.setPen(QColor((ink.red() + face.red()) / 2, (ink.green() + face.green()) / 2,
                              (ink.blue() + face.blue()) / 2));
    }
    painter.drawText(textArea, flags, text());

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(4, 4, -4, -4);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void GraphicalButton::keyPressEvent(QKeyEvent* event)
{
    if (const auto code = keyAsciiOf(*event))
        emit characterTyped(*code);
    QPushButton::keyPressEvent(event);
}

}  // namespace tavrin
