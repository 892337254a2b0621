// SPDX-License-Identifier: GPL-3.0-or-later
#include "splashwaylandhints.h"

#ifdef TAVRIN_HAVE_WAYLAND_HINTS

#include "qwayland-plasma-shell.h"
#include "wayland-xdg-shell-client-protocol.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <QtWaylandClient/QWaylandClientExtensionTemplate>
#include <qpa/qplatformnativeinterface.h>

#include <memory>

namespace tavrin {

namespace {

// The first version with set_skip_switcher; set_skip_taskbar is older.
constexpr int kPlasmaShellVersion = 5;

class PlasmaSurface : public QtWayland::org_kde_plasma_surface {
public:
    using org_kde_plasma_surface::org_kde_plasma_surface;
    PlasmaSurface(const PlasmaSurface&) = delete;
    PlasmaSurface& operator=(const PlasmaSurface&) = delete;
    ~PlasmaSurface() override { destroy(); }
};

// KDE Plasma's shell interface, bound once the compositor offers it:
// xdg-shell has no word for "no task-bar entry", KWin takes it from here.
class PlasmaShell : public QWaylandClientExtensionTemplate<PlasmaShell>, public QtWayland::org_kde_plasma_shell {
public:
    PlasmaShell() : QWaylandClientExtensionTemplate(kPlasmaShellVersion) { initialize(); }
};

class SplashWaylandHints : public QObject {
public:
    explicit SplashWaylandHints(QWindow& window) : QObject(&window), window(&window)
    {
        connect(&shell, &QWaylandClientExtension::activeChanged, this, &SplashWaylandHints::apply);
        connect(&window, &QWindow::visibleChanged, this, &SplashWaylandHints::apply);
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        // Qt gives a shown window its role (the xdg toplevel) a moment
        // later; it is there by the window's first expose.
        if (event->type() == QEvent::Expose)
            apply();
        return false;
    }

private:
    // The window's Wayland objects exist while it shows; each showing makes
    // new ones.
    void apply()
    {
        if (!window || !window->isVisible()) {
            surface.reset();
            titled = false;
            return;
        }
        QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
        if (native == nullptr)
            return;
        if (!titled) {
            // Qt never sends an empty title: it puts the application's name
            // in its place.
            if (auto* toplevel = static_cast<xdg_toplevel*>(native->nativeResourceForWindow("xdg_toplevel", window))) {
                xdg_toplevel_set_title(toplevel, "");
                titled = true;
            }
        }
        auto* wlSurface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
        if (shell.isActive() && wlSurface != nullptr && !surface) {
            surface = std::make_unique<PlasmaSurface>(shell.get_surface(wlSurface));
            surface->set_skip_taskbar(1);
            surface->set_skip_switcher(1);
        }
    }

    QPointer<QWindow> window;
    PlasmaShell shell;
    std::unique_ptr<PlasmaSurface> surface;
    bool titled = false;
};

}  // namespace

void requestSplashWaylandHints(QWidget& window)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    window.winId();
    if (QWindow* handle = window.windowHandle())
        new SplashWaylandHints(*handle);
}

}  // namespace tavrin

#else

namespace tavrin {

void requestSplashWaylandHints(QWidget& /*window*/) {}

}  // namespace tavrin

#endif
