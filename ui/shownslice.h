// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tavrin {

// Controls clip captions far shorter than this; laying out the whole of a
// very long name on every repaint would only cost time.
inline constexpr qsizetype kShownCaptionLength = 4096;

// Start: where a name begins, as it is read out. Ends: its start and its
// end, which is all that shortening it in its middle keeps.
enum class CaptionAnchor { Start, Ends };

// The part of `text` that a control of ordinary size can show: all of it when
// short, otherwise at most kShownCaptionLength characters taken at the
// anchor, never splitting a surrogate pair.
QString shownSlice(const QString& text, CaptionAnchor anchor);

}  // namespace tavrin
