// SPDX-License-Identifier: GPL-3.0-or-later
#include "splashhints.h"

#include <QtGui/qtguiglobal.h>

// Only Qt's X11 platform has the connection, and libxcb the calls.
#if QT_CONFIG(xcb) && defined(TAVRIN_HAVE_XCB)

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace tavrin {

namespace {

// The window manager hints' layout and bits, as Motif defined them.
struct MotifWmHints {
    std::uint32_t flags;
    std::uint32_t functions;
    std::uint32_t decorations;
    std::int32_t inputMode;
    std::uint32_t status;
};
constexpr std::uint32_t kHintsFunctions = 1U << 0;
constexpr std::uint32_t kHintsDecorations = 1U << 1;
constexpr std::uint32_t kFunctionMove = 1U << 2;
// xfwm4 and kwin_x11 draw a whole title bar for a border alone: ask for
// nothing, the splash draws its line itself.
constexpr std::uint32_t kDecorationNone = 0;

enum Atom { MotifHints, NetWmState, SkipTaskbar, SkipPager, NetWmName, Utf8String, AtomCount };

}  // namespace

void requestSplashDecorations(QWidget& window)
{
    // Other platforms may offer the X11 interface without a connection.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());

    static constexpr std::array<std::string_view, AtomCount> names{
        "_MOTIF_WM_HINTS", "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
        "_NET_WM_NAME",    "UTF8_STRING"};
    // All requests first, then all replies: one round trip.
    std::array<xcb_intern_atom_cookie_t, AtomCount> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(names[i].size()), names[i].data());
    std::array<xcb_atom_t, AtomCount> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
    }

    if (atoms[MotifHints] != XCB_ATOM_NONE) {
        const MotifWmHints hints{kHintsFunctions | kHintsDecorations, kFunctionMove, kDecorationNone, 0, 0};
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atoms[MotifHints], atoms[MotifHints], 32, 5,
                            &hints);
    }
    // Qt adds its own states to these when it maps the window.
    if (atoms[NetWmState] != XCB_ATOM_NONE && atoms[SkipTaskbar] != XCB_ATOM_NONE &&
        atoms[SkipPager] != XCB_ATOM_NONE) {
        const std::array<xcb_atom_t, 2> states{atoms[SkipTaskbar], atoms[SkipPager]};
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, atoms[NetWmState], XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(states.size()), states.data());
    }
    // Qt names an untitled window after the application; the splash has no
    // caption at all.
    if (atoms[NetWmName] != XCB_ATOM_NONE && atoms[Utf8String] != XCB_ATOM_NONE)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atoms[NetWmName], atoms[Utf8String], 8, 0, "");
    xcb_flush(connection);
}

}  // namespace tavrin

#else

namespace tavrin {

void requestSplashDecorations(QWidget& /*window*/) {}

}  // namespace tavrin

#endif
