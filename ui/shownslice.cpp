#include "shownslice.h"

namespace tavrin {

QString shownSlice(const QString& text, CaptionAnchor anchor)
{
    if (text.size() <= kShownCaptionLength)
        return text;
    qsizetype start = anchor == CaptionAnchor::Centre ? (text.size() - kShownCaptionLength) / 2 : 0;
    if (text.at(start).isLowSurrogate())
        ++start;
    qsizetype length = kShownCaptionLength;
    if (text.at(start + length - 1).isHighSurrogate())
        --length;
    return text.mid(start, length);
}

}  // namespace tavrin
