// SPDX-License-Identifier: GPL-3.0-or-later
#include "captionfit.h"

#include "shownslice.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace tavrin {

namespace {

// Font sizes are tried in steps this fine, in points.
constexpr qreal kSizeStep = 0.25;
// A caption this long cannot fit a control of ordinary size at a legible
// size; it is shortened without measuring it whole at every size.
constexpr qsizetype kLongestFitted = 256;
// Ink kept this far from the box's edges: at fractional scales glyphs and
// the box's edges are rounded to device pixels apart, and a glyph that only
// touched an edge lost its last row or column.
constexpr qreal kInkMargin = 1;

bool breaksLine(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

// The caption on one line, as single-line drawing shows it.
QString oneLine(QString text)
{
    std::replace_if(text.begin(), text.end(), breaksLine, QLatin1Char(' '));
    return text;
}

// The baseline at which the ink of `text` lies inside the box: the designed
// one, or higher by as little as keeps the descenders in. Nothing when the
// ink is too wide or too tall for the box. Left-aligned text begins at the
// box's top-left corner, where the style puts it.
std::optional<qreal> inkBaseline(const QString& text, const QFont& font, qreal designedBaseline, const QSizeF& box,
                                 Qt::Alignment horizontal)
{
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(text);
    const QRectF ink = metrics.tightBoundingRect(text);
    const bool centred = horizontal.testFlag(Qt::AlignHCenter);
    const qreal leading = centred ? kInkMargin : 0;
    const qreal start = centred ? (box.width() - advance) / 2 : 0;
    if (advance > box.width() || start + ink.left() < leading || start + ink.right() > box.width() - kInkMargin)
        return std::nullopt;
    const qreal overflow = designedBaseline + ink.bottom() - (box.height() - kInkMargin);
    const qreal baseline = designedBaseline - std::max<qreal>(overflow, 0);
    if (baseline + ink.top() < leading)
        return std::nullopt;
    return baseline;
}

QFont sized(const QFont& designed, qreal points)
{
    QFont font = designed;
    font.setPointSizeF(points);
    return font;
}

}  // namespace

CaptionFit fitCaption(const QString& caption, const QFont& designed, const QSizeF& box, Qt::Alignment horizontal,
                      qreal lineTop)
{
    const qreal designedBaseline = lineTop + QFontMetricsF(designed).ascent();
    const qreal designedSize = designed.pointSizeF();
    const qreal floorSize = std::min(kLegibleFloorPoints, designedSize);
    if (caption.isEmpty())
        return {designed, caption, designedBaseline, true, false};

    if (caption.size() <= kLongestFitted) {
        const QString line = oneLine(caption);
        const bool oneLined = line == caption;
        if (const auto baseline = inkBaseline(line, designed, designedBaseline, box, horizontal))
            return {designed, line, *baseline, oneLined && *baseline == designedBaseline, false};
        // Widths grow with the size: begin near the size at which it would
        // just fit, rounded down to a step.
        const qreal advance = QFontMetricsF(designed).horizontalAdvance(line);
        qreal size = designedSize - kSizeStep;
        if (advance > box.width())
            size = std::min(size, std::floor(designedSize * box.width() / advance / kSizeStep) * kSizeStep);
        for (; size >= floorSize; size -= kSizeStep) {
            const QFont font = sized(designed, size);
            if (const auto baseline = inkBaseline(line, font, designedBaseline, box, horizontal))
                return {font, line, *baseline, false, false};
        }
    }

    // Past the floor: the start and the end of the caption, as much of them
    // as fits beside the ellipsis.
    const QFont font = sized(designed, floorSize);
    const QFontMetricsF metrics(font);
    const QString ends = oneLine(shownSlice(caption, CaptionAnchor::Ends));
    const qreal room = box.width() - 2 * kInkMargin;
    QString shown = metrics.elidedText(ends, Qt::ElideMiddle, room);
    // Slanted glyphs reach beyond their advance.
    const QRectF ink = metrics.tightBoundingRect(shown);
    const qreal overhang = std::max<qreal>(-ink.left(), 0) +
                           std::max<qreal>(ink.right() - metrics.horizontalAdvance(shown), 0);
    if (overhang > 0)
        shown = metrics.elidedText(ends, Qt::ElideMiddle, room - overhang);
    const auto baseline = inkBaseline(shown, font, designedBaseline, box, horizontal);
    const bool shortened = shown != ends || caption.size() > kShownCaptionLength;
    return {font, shown, baseline.value_or(designedBaseline), false, shortened};
}

void drawFittedCaption(QPainter& painter, const CaptionFit& fit, const QRectF& box, Qt::Alignment horizontal)
{
    painter.setFont(fit.font);
    const QFontMetricsF metrics(fit.font);
    const QRectF line(box.left(), box.top() + fit.baseline - metrics.ascent(), box.width(), metrics.height());
    const int direction = fit.text.isRightToLeft() ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight;
    painter.drawText(line, int(horizontal | Qt::AlignAbsolute | Qt::AlignTop) | Qt::TextSingleLine | direction,
                     fit.text);
}

QString captionToolTip(const QString& caption)
{
    // Rich text, so that a name such as "<b>x</b>" shows as typed, with its
    // spaces kept.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>")
        .arg(shownSlice(caption, CaptionAnchor::Start).toHtmlEscaped());
}

}  // namespace tavrin
