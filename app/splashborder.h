// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>

namespace tavrin {

// How the splash gets its plain one-line border and nothing more: it asks
// for no decorations and draws the line itself. No platform draws such a
// border for it everywhere: X11 window managers that honour "border only"
// draw it in their own colours and widths, others add a title bar; a
// Wayland compositor draws nothing for a window that declines decorations.

// The splash's window flags on the running platform.
Qt::WindowFlags splashWindowFlags();

// Width in pixels of the line the splash draws around its client area.
constexpr int kSplashBorder = 1;

}  // namespace tavrin
