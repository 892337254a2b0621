// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tavrin {

// On Wayland, whenever `window` shows: no title at all (Qt would give it the
// application's name), and, on KDE Plasma's compositor, no task-bar or
// window-switcher entry. Elsewhere, and where the build has no Wayland
// protocols, it does nothing. Call once, before the window shows.
void requestSplashWaylandHints(QWidget& window);

}  // namespace tavrin
