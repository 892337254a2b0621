# SPDX-License-Identifier: GPL-3.0-or-later
"""Wayland compositors of the big desktops, each nested in a private Xvfb:
GNOME's mutter and KDE Plasma's KWin.

A nested compositor shows its one output as a window filling the Xvfb
screen, and takes its input from there: screenshots and input go through
the X server (X11Desktop, without a window manager), while the program runs
on the compositor's Wayland socket. Windows, titles and places come from
the compositor: KWin answers a script over D-Bus (workspace.clientList());
mutter alone (without GNOME Shell) offers no window list, so it writes its
placement decisions into its debug log, and a window is the last rectangle
mutter placed or constrained it to.
"""

import json
import os
import re
import shutil
import time

from processes import DesktopError, desktop_env, run, spawn, stop_group, wait_until
from x11desktop import X11Desktop


class NestedDesktop:
    """start() then close(); a subclass gives the compositor's command."""

    platform = "wayland"
    name = None

    def __init__(self, workdir, size=(1280, 1024)):
        self.workdir = workdir
        self.size = tuple(size)
        self.x11 = X11Desktop(workdir, size, window_manager=False)
        self.socket = "tavrin-" + self.name
        self.compositor = None
        self.background = None
        self._helpers = []

    @property
    def log_path(self):
        return os.path.join(self.workdir, self.name + ".log")

    def start(self):
        self.x11.start()
        runtime = desktop_env(self.workdir)["XDG_RUNTIME_DIR"]
        env = self.x11.child_env(**self.compositor_env())
        self.compositor = spawn(self.command(), log_path=self.log_path, env=env)
        wait_until(lambda: os.path.exists(os.path.join(runtime, self.socket)),
                   "%s's Wayland socket" % self.name, check=self._check)
        wait_until(self._output_shown, "%s's output on the X screen" % self.name, check=self._check)
        self.background = self.screenshot((self.size[0] - 1, self.size[1] - 1, 1, 1)).getpixel((0, 0))
        return self

    def _check(self):
        if self.compositor.poll() is not None:
            raise DesktopError("%s exited with status %s; see %s"
                               % (self.name, self.compositor.returncode, self.log_path))

    def _output_shown(self):
        # The output window fills the screen from its corner: screen and
        # compositor share their coordinates.
        children = self.x11._root.query_tree().children
        return any(c.get_attributes().map_state and c.get_geometry().width == self.size[0]
                   and c.get_geometry().x == 0 for c in children)

    def compositor_env(self):
        return {}

    def child_env(self, **extra):
        """The environment for programs on this desktop: its Wayland socket,
        no X display."""
        return desktop_env(self.workdir, WAYLAND_DISPLAY=self.socket, **extra)

    def close(self):
        for helper in self._helpers:
            stop_group(helper)
        stop_group(self.compositor)
        self.compositor = None
        self.x11.close()

    def screenshot(self, rect=None):
        return self.x11.screenshot(rect)

    def move_to(self, x, y):
        self.x11.move_to(x, y)

    def click_at(self, x, y, button=1):
        # The compositor finds the surface under the pointer when the pointer
        # moves there, a frame later than the X server.
        self.x11.move_to(x, y)
        time.sleep(0.05)
        self.x11.click_at(x, y, button)

    def clicks(self, points):
        for x, y in points:
            self.click_at(x, y)

    def key(self, *keys):
        self.x11.key(*keys)

    def type_text(self, text):
        self.x11.type_text(text)

    def spawn(self, args, log_name, **extra_env):
        helper = spawn(args, log_path=os.path.join(self.workdir, log_name), env=self.child_env(**extra_env))
        self._helpers.append(helper)
        return helper

    # Windows, as the subclass reads them: {id: record}, ids rising in the
    # order the windows first showed, each record with "pid", "title",
    # "rect" (the client area) and "shown".

    def views(self):
        raise NotImplementedError

    def visible_windows(self, pid):
        return [wid for wid, view in self.views().items() if view["shown"] and view["pid"] == pid]

    def title(self, wid):
        view = self.views().get(wid)
        return view["title"] if view is not None else None

    def window_geometry(self, wid):
        view = self.views().get(wid)
        return view["rect"] if view is not None else None

    def is_viewable(self, wid):
        view = self.views().get(wid)
        return bool(view and view["shown"])


# Each window with what the task bar and the window switcher read of it.
KWIN_LIST = """\
var found = [];
try {
    var clients = workspace.clientList();
    for (var i = 0; i < clients.length; ++i) {
        var c = clients[i];
        // The client area is the window's surface; the frame holds KWin's
        // title bar and border too.
        var b = c.bufferGeometry, f = c.frameGeometry;
        found.push({id: String(c.internalId), pid: c.pid, title: c.caption, minimized: c.minimized,
                    active: c.active, skipTaskbar: c.skipTaskbar, skipSwitcher: c.skipSwitcher,
                    rect: [b.x, b.y, b.width, b.height], frame: [f.x, f.y, f.width, f.height]});
    }
} catch (e) {
    found = String(e);
}
print("%(marker)s " + JSON.stringify(found));
"""
# What a title bar's close and minimise buttons do.
KWIN_ACT = """\
workspace.clientList().forEach(function (c) {
    if (String(c.internalId) == "%(id)s")
        %(act)s;
});
print("%(marker)s []");
"""


class KWinDesktop(NestedDesktop):
    """KDE Plasma's compositor, kwin_wayland, in a window of the Xvfb."""

    name = "kwin"

    def __init__(self, workdir, size=(1280, 1024)):
        super().__init__(workdir, size)
        self._ids = {}
        self._queries = 0

    def command(self):
        # Debian's kwin_wayland carries a file capability, which a process
        # in a container without it may not exec; a plain copy has none.
        binary = os.path.join(self.workdir, "kwin_wayland")
        shutil.copyfile(shutil.which("kwin_wayland"), binary)
        os.chmod(binary, 0o755)
        return [binary, "--x11-display", self.x11.display, "--width", str(self.size[0]),
                "--height", str(self.size[1]), "--socket", self.socket, "--no-lockscreen"]

    def compositor_env(self):
        # Xvfb has no OpenGL that KWin can composite with; it paints with
        # QPainter then, and so at once.
        return {"KWIN_COMPOSE": "Q"}

    def _script(self, source):
        """Runs a KWin script; returns what it printed after its marker."""
        self._queries += 1
        marker = "TAVRIN-%d" % self._queries
        path = os.path.join(self.workdir, "kwin-query.js")
        with open(path, "w") as f:
            f.write(source.replace("%(marker)s", marker))
        call = ["dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin"]
        loaded = run(call + ["/Scripting", "org.kde.kwin.Scripting.loadScript", "string:" + path,
                             "string:" + marker])
        number = re.search(r"int32 (\d+)", loaded.stdout).group(1)
        try:
            run(call + ["/" + number, "org.kde.kwin.Script.run"])
            pattern = re.compile(r"^js: %s (.*)$" % marker, re.M)

            def printed():
                with open(self.log_path, errors="replace") as f:
                    found = pattern.search(f.read())
                return found and found.group(1)
            return json.loads(wait_until(printed, "KWin's script", check=self._check))
        finally:
            run(call + ["/Scripting", "org.kde.kwin.Scripting.unloadScript", "string:" + marker], check=False)

    def clients(self):
        """KWin's list of windows, as its scripts see it."""
        return self._script(KWIN_LIST)

    def views(self):
        found = {}
        for client in self.clients():
            wid = self._ids.setdefault(client["id"], len(self._ids) + 1)
            client.update(rect=tuple(client["rect"]), shown=not client["minimized"], focused=client["active"])
            found[wid] = client
        return found

    def _act(self, wid, act):
        uuid = next(u for u, w in self._ids.items() if w == wid)
        self._script(KWIN_ACT.replace("%(id)s", uuid).replace("%(act)s", act))

    def request_close(self, wid):
        self._act(wid, "c.closeWindow()")

    def minimize(self, wid):
        self._act(wid, "c.minimized = true")


# mutter's debug log (MUTTER_DEBUG=geometry,window-state,focus) names each
# window W0, W1, ... in the order it manages them.
MUTTER_NAMED = re.compile(r"(?:Constraining|Placing window|Showing window|Hiding window|Unmanaging|Focus -->) (W\d+)")
MUTTER_RECT = re.compile(r"info->current is (-?\d+),(-?\d+) \+(\d+),(\d+) after constrain_partially_onscreen")
# Qt's own title bar, which it draws where the compositor draws none: a
# band above the window and a thin border on its other sides (Qt 6.4).
QT_DECORATION = (3, 30, 3, 3)


class MutterDesktop(NestedDesktop):
    """GNOME's compositor, mutter, in a window of the Xvfb, Wayland only.
    Only the program under test runs on it, so every window is its own."""

    name = "mutter"

    def __init__(self, workdir, size=(1280, 1024)):
        super().__init__(workdir, size)
        self._seen = {}

    def command(self):
        # GLib writes its messages to standard output, which a file would
        # hold back in a buffer.
        return ["stdbuf", "--output=L", "mutter", "--nested", "--wayland", "--no-x11",
                "--wayland-display", self.socket, "--sm-disable"]

    def compositor_env(self):
        # Without animations a window is drawn in full once it shows.
        settings = os.path.join(self.workdir, "home", ".config", "glib-2.0", "settings")
        os.makedirs(settings, exist_ok=True)
        with open(os.path.join(settings, "keyfile"), "w") as f:
            f.write("[org/gnome/desktop/interface]\nenable-animations=false\n")
        return {"MUTTER_DEBUG_DUMMY_MODE_SPECS": "%dx%d" % self.size, "GSETTINGS_BACKEND": "keyfile",
                "MUTTER_VERBOSE": "1", "MUTTER_DEBUG": "geometry,window-state,focus"}

    def frames(self):
        """{id: record} from mutter's log: "frame", the rectangle mutter
        placed it at (with whatever the window draws around itself),
        "shown", and "focused"."""
        found = {}
        current = focused = None
        with open(self.log_path, errors="replace") as f:
            for line in f:
                named = MUTTER_NAMED.search(line)
                if named:
                    current = int(named.group(1)[1:]) + 1
                    view = found.setdefault(current, {"pid": None, "title": None, "frame": None, "shown": False,
                                                      "placed": False})
                    if "Placing window" in line:
                        view["placed"] = True
                    elif "Showing window" in line:
                        view["shown"] = "iconic: 0" in line
                    elif "Hiding window" in line:
                        view["shown"] = False
                    elif "Unmanaging" in line:
                        del found[current]
                        current = None
                    elif "Focus -->" in line:
                        focused = current
                    continue
                rect = MUTTER_RECT.search(line)
                # Where it is, once placed.
                if rect and current in found and found[current]["placed"]:
                    found[current]["frame"] = tuple(int(v) for v in rect.groups())
        for wid, view in found.items():
            view["focused"] = wid == focused
        return found

    def views(self):
        found = self.frames()
        for wid, view in found.items():
            frame = view["frame"]
            # A window is on the screen a frame after mutter placed it: at
            # the second look at the same place.
            drawn = view["shown"] and frame is not None and self._seen.get(wid) == frame
            self._seen[wid] = frame if view["shown"] else None
            view["rect"] = self._client_area(wid, frame) if drawn else None
            view["shown"] = drawn
        return found

    def _client_area(self, wid, frame):
        """The client area inside frame: Qt draws its own title bar and a
        thin border around every window but a frameless one, and the
        program's one frameless window is its first, the splash."""
        x, y, w, h = frame
        if wid == min(self._seen):
            return frame
        left, top, right, bottom = QT_DECORATION
        return (x + left, y + top, w - left - right, h - top - bottom)

    def visible_windows(self, pid):
        return [wid for wid, view in self.views().items() if view["shown"]]

    def request_close(self, wid):
        raise DesktopError("mutter alone offers no way to close a window from outside")
