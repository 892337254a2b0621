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
// At fractional scales the baseline is rounded to a device pixel, which can
// move the ink down by up to one logical pixel.
constexpr qreal kBottomMargin = 1;

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
// ink is too wide or too tall for the box.
std::optional<qreal> inkBaseline(const QString& text, const QFont& font, qreal designedBaseline, const QSizeF& box,
                                 Qt::Alignment horizontal)
{
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(text);
    const QRectF ink = metrics.tightBoundingRect(text);
    const qreal start = horizontal.testFlag(Qt::AlignHCenter) ? (box.width() - advance) / 2 : 0;
    if (advance > box.width() || start + ink.left() < 0 || start + ink.right() > box.width())
        return std::nullopt;
    const qreal overflow = designedBaseline + ink.bottom() - (box.height() - kBottomMargin);
    const qreal baseline = designedBaseline - std::max<qreal>(overflow, 0);
    if (baseline + ink.top() < 0)
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

CaptionFit fitCaption(const QString& caption, const QFont& designed, const QSizeF& box, Qt::Alignment horizontal)
{
    const qreal designedBaseline = QFontMetricsF(designed).ascent();
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
    QString shown = metrics.elidedText(ends, Qt::ElideMiddle, box.width());
    // Slanted glyphs reach beyond their advance.
    const QRectF ink = metrics.tightBoundingRect(shown);
    const qreal overhang = std::max<qreal>(-ink.left(), 0) +
                           std::max<qreal>(ink.right() - metrics.horizontalAdvance(shown), 0);
    if (overhang > 0)
        shown = metrics.elidedText(ends, Qt::ElideMiddle, box.width() - overhang);
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
