// SPDX-License-Identifier: GPL-3.0-or-later
#include "shownslice.h"

namespace tavrin {

QString shownSlice(const QString& text, CaptionAnchor anchor)
{
    if (text.size() <= kShownCaptionLength)
        return text;
    const qsizetype headLength = anchor == CaptionAnchor::Start ? kShownCaptionLength : kShownCaptionLength / 2;
    qsizetype headEnd = headLength;
    if (text.at(headEnd - 1).isHighSurrogate())
        --headEnd;
    if (anchor == CaptionAnchor::Start)
        return text.left(headEnd);
    qsizetype tailStart = text.size() - kShownCaptionLength / 2;
    if (text.at(tailStart).isLowSurrogate())
        ++tailStart;
    return text.left(headEnd) + text.mid(tailStart);
}

}  // namespace tavrin
