// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace tavrin {

// The platform plugins Qt is to try, or empty to leave Qt its own choice:
// on a GNOME Wayland session that offers XWayland (`display` set), X11 and
// then Wayland. `chosen`, the player's QT_QPA_PLATFORM, always stays.
// `currentDesktop` is XDG_CURRENT_DESKTOP, a colon-separated list.
QByteArray preferredPlatform(const QByteArray& chosen, const QByteArray& sessionType,
                             const QByteArray& currentDesktop, const QByteArray& display);

// Sets the preferred platform where Qt reads it; call before QApplication.
void choosePlatform();

}  // namespace tavrin
