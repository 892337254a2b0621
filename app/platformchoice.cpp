// SPDX-License-Identifier: GPL-3.0-or-later
#include "platformchoice.h"

#include <QList>
#include <QtGlobal>

namespace tavrin {

QByteArray preferredPlatform(const QByteArray& chosen, const QByteArray& sessionType,
                             const QByteArray& currentDesktop, const QByteArray& display)
{
    if (!chosen.isEmpty() || sessionType != "wayland" || display.isEmpty())
        return {};
    // GNOME draws no title bars for Wayland programs, so Qt draws its own,
    // which offer minimising and maximising every dialog; and it opens a
    // Wayland dialog beside its main window, not over it. Through XWayland
    // GNOME draws its own title bars and centres each dialog over the main
    // window, which also opens at its fixed place. Qt 5 chose the same.
    for (const QByteArray& desktop : currentDesktop.split(':')) {
        if (desktop.compare("GNOME", Qt::CaseInsensitive) == 0)
            return "xcb;wayland";
    }
    return {};
}

void choosePlatform()
{
    const QByteArray platform =
        preferredPlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"),
                          qgetenv("XDG_CURRENT_DESKTOP"), qgetenv("DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

}  // namespace tavrin
