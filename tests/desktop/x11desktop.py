# SPDX-License-Identifier: GPL-3.0-or-later
"""A private X server (Xvfb), with openbox as its window manager unless asked
for another (those of GNOME, KDE Plasma and Xfce) or none. Input goes in
through xdotool (the XTEST extension, so programs see ordinary key and
button events); windows, their properties and screenshots are read from the
X server with python-xlib."""

import os
import signal

from processes import DesktopError, desktop_env, run, spawn, spawn_reporting, stop_group, wait_until

# The window managers a desktop can run: the command, and whether it also
# composites (then it is ready once it owns the compositing selection).
# The desktops' own ones get a session bus of their own, as in a session,
# whose services see the display: kwin_x11's shortcut service aborts
# without one, xfwm4 reads its settings from xfconfd there.
WINDOW_MANAGERS = {
    "openbox": (["openbox", "--sm-disable"], False),
    "mutter": (["dbus-run-session", "--", "mutter", "--x11", "--replace", "--sm-disable"], True),
    "kwin_x11": (["dbus-run-session", "--", "kwin_x11", "--replace"], True),
    "xfwm4": (["dbus-run-session", "--", "xfwm4", "--replace"], True),
}
# What window_manager=True asks for.
DEFAULT_WINDOW_MANAGER = "openbox"


def mutter_damage_sync():
    """The build's mutterdamagesync, without which mutter 43 now and then
    leaves an older picture of a window on the screen."""
    library = os.environ.get("TAVRIN_MUTTER_DAMAGE_SYNC")
    if not library or not os.path.isfile(library):
        raise DesktopError("TAVRIN_MUTTER_DAMAGE_SYNC names no library (the build's mutterdamagesync)")
    return library


class X11Desktop:
    """start() then close(). size is the screen's in pixels; window_manager
    a name of WINDOW_MANAGERS, True for openbox or False for none."""

    platform = "xcb"

    def __init__(self, workdir, size=(1280, 1024), window_manager=True):
        self.workdir = workdir
        self.size = tuple(size)
        if window_manager is True:
            window_manager = DEFAULT_WINDOW_MANAGER
        if window_manager and window_manager not in WINDOW_MANAGERS:
            raise DesktopError("no such window manager: %r" % (window_manager,))
        self.window_manager = window_manager or None
        self.xvfb = None
        self.wm = None
        self.display = None
        self._xlib = None
        self._env = None
        self._helpers = []

    def start(self):
        self.xvfb, number = spawn_reporting(
            ["Xvfb", "-displayfd", "{fd}", "-screen", "0", "%dx%dx24" % self.size, "-nolisten", "tcp", "-noreset"],
            "Xvfb", log_path=os.path.join(self.workdir, "xvfb.log"))
        self.display = ":" + number
        self._env = self.child_env()
        if self.window_manager:
            args, composites = WINDOW_MANAGERS[self.window_manager]
            # xfwm4 would start an accessibility bus of its own and announce it
            # on the display, where the program would take it for the session's.
            env = self.child_env(NO_AT_BRIDGE="1")
            if self.window_manager == "mutter":
                env["LD_PRELOAD"] = mutter_damage_sync()
            self.wm = spawn(args, log_path=os.path.join(self.workdir, self.window_manager + ".log"), env=env)
            wait_until(lambda: self._wm_running(composites), "%s to manage the screen" % self.window_manager,
                       timeout=30)
        return self

    def _wm_running(self, composites):
        if self.wm.poll() is not None:
            raise DesktopError("%s exited with status %s\n%s" % (self.window_manager, self.wm.returncode,
                                                                  self.wm_log()[-2000:]))
        if not self.property(self._root.id, "_NET_SUPPORTING_WM_CHECK"):
            return False
        if not composites:
            return True
        from Xlib import X
        owner = self.xlib.get_selection_owner(self.xlib.intern_atom("_NET_WM_CM_S0"))
        return owner not in (None, X.NONE)

    def wm_log(self):
        try:
            with open(os.path.join(self.workdir, "%s.log" % self.window_manager), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    @property
    def xlib(self):
        """This test's own connection to the X server, made when first used."""
        if self._xlib is None:
            from Xlib import display as xdisplay
            self._xlib = xdisplay.Display(self.display)
        return self._xlib

    @property
    def _root(self):
        return self.xlib.screen().root

    def child_env(self, **extra):
        """The environment for programs on this desktop."""
        return desktop_env(self.workdir, DISPLAY=self.display, **extra)

    def close(self):
        if self._xlib is not None:
            try:
                self._xlib.close()
            except Exception:
                pass
            self._xlib = None
        for helper in self._helpers:
            stop_group(helper)
        stop_group(self.wm)
        stop_group(self.xvfb)
        self.wm = self.xvfb = None

    def kill_server(self):
        """Kills the X server outright, as a crash would (the window manager goes with it)."""
        display, self._xlib = self._xlib, None
        os.killpg(self.xvfb.pid, signal.SIGKILL)
        self.xvfb.wait(timeout=5)
        try:
            if display is not None:
                display.close()
        except Exception:
            pass

    # Windows, read from the X server.

    def window_geometry(self, wid):
        """(x, y, width, height) of window wid's client area on the screen,
        or None once it is gone. Translating the origin to the root window
        gives the client's place even inside a window manager's frame."""
        from Xlib import error
        try:
            win = self.xlib.create_resource_object("window", wid)
            geo = win.get_geometry()
            pos = win.translate_coords(self._root, 0, 0)
            self.xlib.sync()
        except (error.BadWindow, error.BadDrawable):
            return None
        return (-pos.x, -pos.y, geo.width, geo.height)

    def is_viewable(self, wid):
        """Whether window wid is mapped and so are all its ancestors."""
        from Xlib import X, error
        try:
            win = self.xlib.create_resource_object("window", wid)
            return win.get_attributes().map_state == X.IsViewable
        except (error.BadWindow, error.BadDrawable):
            return False

    def visible_windows(self, pid):
        """Ids of the mapped top-level windows of process pid."""
        done = run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], check=False,
                   env=self._env)
        return [int(w) for w in done.stdout.split()]

    def property(self, wid, name):
        """Window wid's property name: text for strings, a list of atom
        names for atoms, a list of numbers otherwise; None when unset."""
        from Xlib import Xatom, error
        try:
            win = self.xlib.create_resource_object("window", wid)
            prop = win.get_full_property(self.xlib.intern_atom(name), 0)
        except (error.BadWindow, error.BadDrawable):
            return None
        if prop is None:
            return None
        if prop.format == 8:
            value = prop.value
            return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
        if prop.property_type == Xatom.ATOM:
            return [self.xlib.get_atom_name(atom) for atom in prop.value]
        return list(prop.value)

    def title(self, wid):
        """The title window managers show for window wid (_NET_WM_NAME)."""
        return self.property(wid, "_NET_WM_NAME")

    def frame_extents(self, wid):
        """(left, right, top, bottom): what the window manager draws around wid."""
        extents = self.property(wid, "_NET_FRAME_EXTENTS")
        return tuple(extents) if extents else None

    def undecorated(self, wid):
        """Whether the window manager draws nothing around window wid: mutter
        and kwin_x11 give such a window no frame extents at all, the others
        zeros."""
        return self.frame_extents(wid) in (None, (0, 0, 0, 0))

    def wait_frame_extents(self, wid):
        """frame_extents(wid), once the window manager has framed it."""
        return wait_until(lambda: self.frame_extents(wid), "the window manager to frame the window")

    def request_close(self, wid):
        """Asks the window manager to close window wid, as its title bar's
        close button does: openbox then sends the window WM_DELETE_WINDOW."""
        from Xlib import X, protocol
        window = self.xlib.create_resource_object("window", wid)
        # Source 2: a pager or task bar, which the window manager obeys at once.
        event = protocol.event.ClientMessage(
            window=window, client_type=self.xlib.intern_atom("_NET_CLOSE_WINDOW"),
            data=(32, [X.CurrentTime, 2, 0, 0, 0]))
        self._root.send_event(event, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        self.xlib.sync()

    def screenshot(self, rect=None):
        """A PIL image of the screen, or of rect (x, y, w, h) in screen pixels."""
        from PIL import Image
        from Xlib import X
        x, y, w, h = rect if rect is not None else (0, 0) + self.size
        raw = self._root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (w, h), raw.data, "raw", "BGRX")

    def window_image(self, wid):
        """A PIL image of window wid's own contents, as the program drew them
        (under a compositing window manager, what it composes the screen
        from), or None once it is gone."""
        from PIL import Image
        from Xlib import X, error
        try:
            win = self.xlib.create_resource_object("window", wid)
            geo = win.get_geometry()
            raw = win.get_image(0, 0, geo.width, geo.height, X.ZPixmap, 0xFFFFFFFF)
        except (error.BadWindow, error.BadDrawable, error.BadMatch):
            return None
        return Image.frombytes("RGB", (geo.width, geo.height), raw.data, "raw", "BGRX")

    # Input, through XTEST as a person's mouse and keyboard. Keys are keysym
    # names, modifiers joined with "+": "Return", "Menu", "shift+F10".

    def move_to(self, x, y):
        run(["xdotool", "mousemove", str(x), str(y)], env=self._env)

    def click_at(self, x, y, button=1):
        run(["xdotool", "mousemove", str(x), str(y), "click", str(button)], env=self._env)

    def clicks(self, points):
        """Clicks the points one after the other, in a single burst."""
        args = ["xdotool"]
        for x, y in points:
            args += ["mousemove", str(x), str(y), "click", "1"]
        run(args, env=self._env)

    def key(self, *keys):
        run(["xdotool", "key", "--delay", "40"] + list(keys), env=self._env)

    def type_text(self, text):
        run(["xdotool", "type", "--delay", "25", "--", text], timeout=60, env=self._env)

    def spawn(self, args, log_name, **extra_env):
        """Starts another program on this desktop (and the session's bus),
        such as a screen reader, its output in log_name of the work
        directory; it is stopped with the desktop."""
        helper = spawn(args, log_path=os.path.join(self.workdir, log_name), env=self.child_env(**extra_env))
        self._helpers.append(helper)
        return helper

    def serve_clipboard(self, text):
        """Makes xclip own the clipboard with text, serving it until the desktop closes."""
        path = os.path.join(self.workdir, "clipboard.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        xclip = self.spawn(["xclip", "-quiet", "-selection", "clipboard", "-target", "UTF8_STRING", "-in", path],
                           "xclip.log")

        def owned():
            if xclip.poll() is not None:
                raise DesktopError("xclip exited with status %s" % xclip.returncode)
            done = run(["xclip", "-selection", "clipboard", "-out", "-target", "TARGETS"], check=False,
                       env=self._env)
            return done.returncode == 0 and "UTF8_STRING" in done.stdout
        wait_until(owned, "xclip to own the clipboard")

