#include "splashborder.h"

#include <QGuiApplication>

namespace tavrin {

namespace {

// "wayland", and "wayland-egl" and the like where a build names its plugin so.
bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace

Qt::WindowFlags splashWindowFlags()
{
    // A tool window gets no task-bar button; the customised hint without a
    // title or button hint leaves the title bar and its buttons out.
    const Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint;
    // On X11 the frameless hint would take the border too. Elsewhere it keeps
    // Qt from drawing its own decoration and from asking the compositor for
    // one.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return flags;
    return flags | Qt::FramelessWindowHint;
}

int splashOwnBorder()
{
    return onWayland() ? 1 : 0;
}

}  // namespace tavrin
