// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tavrin {

// Asks an X11 window manager for what window flags cannot say: no
// decorations at all, only moving allowed (no close, no resize), no entry
// in task bars or pagers, and no window name. Does nothing on other
// platforms, nor in a build without X11 support. Call it before the window
// is first shown.
void requestSplashDecorations(QWidget& window);

}  // namespace tavrin
