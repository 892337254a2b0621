#include "afterfirstframe.h"
#include "frmsplash.h"
#include "mainwindow.h"
#include "programicon.h"

#include <QApplication>
#include <QPixmapCache>
#include <QThreadPool>

#include <thread>

#ifdef TAVRIN_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char* argv[])
{
#ifdef __GLIBC__
    // Every thread allocates in the one arena: a further arena would keep
    // its own freed pages, such as the 0.1 MiB fontconfig's start-up leaves.
    mallopt(M_ARENA_MAX, 1);
#endif
    // Fontconfig reads its configuration and font caches when Qt first asks
    // for a font, as the splash does at once; a thread does it while
    // QApplication connects to the display. Not when Qt will take
    // DESKTOP_STARTUP_ID out of the environment meanwhile: fontconfig reads
    // the environment without a lock.
    std::jthread fontconfigStart;
#ifdef TAVRIN_HAVE_FONTCONFIG
    if (!qEnvironmentVariableIsSet("DESKTOP_STARTUP_ID"))
        fontconfigStart = std::jthread([] { FcInit(); });
#endif
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

    if (fontconfigStart.joinable())
        fontconfigStart.join();
    tavrin::frmSplash splash([] { return new tavrin::MainWindow; });
    splash.show();
    // Decoding the icon loads Qt's image plugins; once the splash's first
    // frame is out it no longer delays the splash.
    tavrin::afterFirstFrame(splash, [] { QApplication::setWindowIcon(tavrin::programIcon()); });
    return QApplication::exec();
}
