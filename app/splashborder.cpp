// SPDX-License-Identifier: GPL-3.0-or-later
#include "splashborder.h"

#include <QGuiApplication>

namespace tavrin {

Qt::WindowFlags splashWindowFlags()
{
    // A tool window gets no task-bar button; the customised hint without a
    // title or button hint leaves the title bar and its buttons out.
    const Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint;
    // On X11 requestSplashDecorations() asks the window manager for no
    // decorations, with the rest the splash needs. Elsewhere the frameless
    // hint keeps Qt from drawing its own decoration and from asking the
    // compositor for one.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return flags;
    return flags | Qt::FramelessWindowHint;
}

}  // namespace tavrin
