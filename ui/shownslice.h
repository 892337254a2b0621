#pragma once

#include <QString>

namespace tavrin {

// Controls clip captions far shorter than this; laying out the whole of a
// very long name on every repaint would only cost time.
inline constexpr qsizetype kShownCaptionLength = 4096;

enum class CaptionAnchor { Start, Centre };

// The part of `text` that a control of ordinary size can show: all of it when
// short, otherwise the stretch around the anchor, never splitting a
// surrogate pair.
QString shownSlice(const QString& text, CaptionAnchor anchor);

}  // namespace tavrin
