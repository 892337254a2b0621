// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of any X11 program: one plain window, mapped, and an event loop
// that waits for nothing in particular.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <unistd.h>

int main()
{
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr)
        return 1;
    const int screen = DefaultScreen(dpy);
    const Window window = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, 200, 100, 0,
                                              BlackPixel(dpy, screen), WhitePixel(dpy, screen));
    // Lets the measuring client tell this window from others, as Qt's carry it too.
    const unsigned long pid = static_cast<unsigned long>(getpid());
    XChangeProperty(dpy, window, XInternAtom(dpy, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XSelectInput(dpy, window, ExposureMask);
    XMapWindow(dpy, window);
    for (;;) {
        XEvent event;
        XNextEvent(dpy, &event);
    }
}
