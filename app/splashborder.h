#pragma once

#include <Qt>

namespace tavrin {

// How the splash gets its plain one-line border and nothing more. On X11 the
// window manager draws it, asked through requestSplashDecorations(). On
// Wayland a compositor decorates a window unless the window declines, and
// then draws nothing for it, so the splash declines and draws the line
// itself.

// The splash's window flags on the running platform.
Qt::WindowFlags splashWindowFlags();

// Width in pixels of the line the splash draws around its client area: 1 on
// Wayland, 0 where the platform draws the border.
int splashOwnBorder();

}  // namespace tavrin
