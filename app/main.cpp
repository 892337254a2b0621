// SPDX-License-Identifier: GPL-3.0-or-later
#include "afterfirstframe.h"
#include "frmsplash.h"
#include "mainwindow.h"
#include "platformchoice.h"
#include "programicon.h"

#include <QApplication>
#include <QPixmapCache>
#include <QThreadPool>

#include <optional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char* argv[])
{
#ifdef __GLIBC__
    // Every thread allocates in the one arena: a further one, as Qt's X11
    // event reader and its paint threads would each take, keeps its own
    // freed pages.
    mallopt(M_ARENA_MAX, 1);
#endif
    // Before Qt reads the environment to choose its platform.
    tavrin::choosePlatform();
    QApplication app(argc, argv);
    // Qt paints large areas with the help of pooled threads, and each of them
    // wakes once, 30 s after its last job, to end; kept, they sleep for good.
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
    // The style keeps every state of every button face it painted, up to
    // 10 MiB: Play Now's four alone take half a MiB. Faces that large are
    // painted afresh instead.
    QPixmapCache::setCacheLimit(128);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tavrin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavrin.Tavrin"));

    // Made at the hand-over, which runs its load handler; it outlives the
    // splash.
    std::optional<tavrin::MainWindow> form1;
    tavrin::frmSplash splash([&form1]() -> QWidget& { return form1.emplace(); });
    splash.show();
    // Decoding the icon loads Qt's image plugins; once the splash's first
    // frame is out it no longer delays the splash.
    tavrin::afterFirstFrame(splash, [] { QApplication::setWindowIcon(tavrin::programIcon()); });
    return QApplication::exec();
}
