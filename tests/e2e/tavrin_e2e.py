"""Drives the real tavrin binary from outside, as a person would.

Each Desktop is a private X server (Xvfb) with openbox as its window
manager; the program runs on it with the xcb platform and its accessibility
bridge switched on. Input goes in through xdotool (the XTEST extension, so
the program sees ordinary key and button events); state comes back through
the accessibility bus (AT-SPI, read with pyatspi) and from screenshots.

The whole test script runs inside one private D-Bus session
(dbus-run-session), so the program and the AT-SPI reader meet on the same
accessibility bus and nothing of the caller's session is touched.

Run a test script as  /usr/bin/python3 test_x.py /path/to/tavrin [unittest args].
"""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

# Noise from the gi bindings behind pyatspi, not from the program.
warnings.filterwarnings("ignore", category=ImportWarning)
warnings.filterwarnings("ignore", category=DeprecationWarning)

# libatspi keeps caches that only its event loop brings up to date, and
# nothing here runs that loop all the time: read everything afresh.
os.environ["ATSPI_NO_CACHE"] = "1"

SCREEN_W, SCREEN_H = 1280, 1024

# The main window: client area size and place, in pixels.
MAIN_SIZE = (453, 363)
MAIN_POS = (426, 238)
# The splash window's client area, and its frame in client pixels.
SPLASH_SIZE = (486, 278)
SPLASH_FRAME = (8, 0, 472, 270)
# Points of the frame (frame pixels) between its labels: under the logo,
# beside the version line, and the frame's top edge.
SPLASH_FREE_SPOTS = [(60, 215), (170, 200), (30, 6)]

# Controls of the main window as (x, y, width, height) in client pixels.
PLAY_NOW = (120, 88, 209, 169)
CONTINUE = (144, 40, 161, 41)
LABEL1 = (152, 256, 137, 25)
LABEL2 = (152, 304, 137, 41)
LABEL3 = (128, 8, 185, 25)
LABEL4 = (144, 48, 153, 33)
FRAME1 = (16, 40, 105, 313)
FRAME2 = (328, 40, 105, 313)
LIST1 = (56, 88, 33, 224)
LIST2 = (360, 88, 33, 224)


def cell_rect(i):
    """Cell i (0 <= i <= 8, row by row): its rectangle in client pixels."""
    return (152 + 48 * (i % 3), 96 + 48 * (i // 3), 49, 49)


def centre(rect):
    x, y, w, h = rect
    return (x + w // 2, y + h // 2)


# A spot of the main window's client area that no control ever covers.
BARE_SPOT = (60, 20)

RED = (255, 0, 0)

DEFAULT_TIMEOUT = 10.0
POLL = 0.05

_BUS_MARK = "TAVRIN_E2E_PRIVATE_BUS"
_RUNTIME_MARK = "TAVRIN_E2E_BUS_RUNTIME"


class E2EError(AssertionError):
    """A wait ran out or the program misbehaved; fails the test."""


def wait_until(predicate, what, timeout=DEFAULT_TIMEOUT, interval=POLL, check=None):
    """Polls predicate() until it returns something true, and returns that.

    check, when given, runs on every step and may raise (for instance when
    the program has died) so that a wait does not outlast its cause.
    """
    deadline = time.monotonic() + timeout
    while True:
        if check is not None:
            check()
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise E2EError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def _run(args, timeout=10, check=True):
    try:
        done = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True,
                              text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        raise E2EError("command took longer than %s s: %s" % (timeout, " ".join(args)))
    if check and done.returncode != 0:
        raise E2EError("command failed (%d): %s\n%s" % (done.returncode, " ".join(args),
                                                        done.stderr.strip()))
    return done


_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1
# Every process group started here, so that a killed test takes them along.
_started = []


def _die_with_parent():
    """In a child before exec: end it if the test dies without cleaning up."""
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def _spawn(args, **kwargs):
    kwargs.setdefault("stdin", subprocess.DEVNULL)
    proc = subprocess.Popen(args, start_new_session=True, preexec_fn=_die_with_parent,
                            **kwargs)
    _started.append(proc)
    return proc


def _on_sigterm(signum, frame):
    for proc in reversed(_started):
        _stop_group(proc, grace=1.0)
    os._exit(128 + signum)


def _stop_group(proc, grace=3.0):
    """Ends proc and everything it started (its own process group)."""
    if proc is None:
        return
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            proc.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            pass
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        pass


def desktop_env(workdir, **extra):
    """The environment for programs on a private desktop: its own home and
    runtime directory in workdir, none of the caller's display or Qt
    settings, then extra."""
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR",
                 "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                 "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME", "SESSION_MANAGER"):
        env.pop(name, None)
    env["HOME"] = os.path.join(workdir, "home")
    env["XDG_RUNTIME_DIR"] = os.path.join(workdir, "runtime")
    env["XDG_CONFIG_HOME"] = os.path.join(workdir, "home", ".config")
    env["XDG_CACHE_HOME"] = os.path.join(workdir, "home", ".cache")
    for d in (env["HOME"], env["XDG_RUNTIME_DIR"]):
        os.makedirs(d, mode=0o700, exist_ok=True)
    env.update(extra)
    return env


class Desktop:
    """A private X server with a window manager; start() then close().

    A desktop of another window system offers the same methods (see
    tests/wayland/sway_desktop.py); platform is the Qt platform plugin the
    program runs with there.
    """

    platform = "xcb"

    def __init__(self, workdir):
        self.workdir = workdir
        self.xvfb = None
        self.wm = None
        self.display = None
        self.xlib = None
        self._root = None

    def start(self):
        log = open(os.path.join(self.workdir, "xvfb.log"), "wb")
        read_end, write_end = os.pipe()
        try:
            self.xvfb = _spawn(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 "%dx%dx24" % (SCREEN_W, SCREEN_H), "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=log, stderr=subprocess.STDOUT)
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + DEFAULT_TIMEOUT
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or self.xvfb.poll() is not None:
                    raise E2EError("Xvfb did not start; see %s" % log.name)
                ready, _, _ = select.select([read_end], [], [], left)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        raise E2EError("Xvfb closed its display pipe; see %s" % log.name)
                    number += chunk
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
            log.close()
        self.display = ":" + number.decode().strip()
        os.environ["DISPLAY"] = self.display

        from Xlib import display as xdisplay
        self.xlib = xdisplay.Display(self.display)
        self._root = self.xlib.screen().root

        wm_log = open(os.path.join(self.workdir, "openbox.log"), "wb")
        self.wm = _spawn(["openbox", "--sm-disable"], stdout=wm_log,
                         stderr=subprocess.STDOUT, env=self.child_env())
        wm_log.close()
        wait_until(self._wm_running, "openbox to manage the screen")

    def _wm_running(self):
        if self.wm.poll() is not None:
            raise E2EError("openbox exited with status %s" % self.wm.returncode)
        atom = self.xlib.intern_atom("_NET_SUPPORTING_WM_CHECK")
        prop = self._root.get_full_property(atom, 0)
        return prop is not None and len(prop.value) > 0

    def child_env(self, **extra):
        """The environment for programs on this desktop."""
        return desktop_env(self.workdir, DISPLAY=self.display, **extra)

    def close(self):
        if self.xlib is not None:
            try:
                self.xlib.close()
            except Exception:
                pass
            self.xlib = None
        _stop_group(self.wm)
        _stop_group(self.xvfb)
        self.wm = self.xvfb = None

    # Windows, read through the X server.

    def window_geometry(self, wid):
        """(x, y, width, height) of window wid's client area on the screen.

        Translating the origin to the root window gives the client's
        absolute place even inside a window manager's frame.
        """
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

    def visible_windows(self, pid=None, name=None):
        """Ids of the mapped windows of process pid and/or titled name (a regex)."""
        args = ["xdotool", "search", "--onlyvisible", "--all"]
        if pid is not None:
            args += ["--pid", str(pid)]
        if name is not None:
            args += ["--name", name]
        done = _run(args, check=False)
        return [int(w) for w in done.stdout.split()]

    def screenshot(self, rect=None):
        """A PIL image of the screen, or of rect (x, y, w, h) in screen pixels."""
        from PIL import Image
        from Xlib import X
        x, y, w, h = rect if rect is not None else (0, 0, SCREEN_W, SCREEN_H)
        raw = self._root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (w, h), raw.data, "raw", "BGRX")

    # Input, through XTEST as a person's mouse and keyboard.

    def click_at(self, x, y, button=1):
        _run(["xdotool", "mousemove", str(x), str(y), "click", str(button)])

    def key(self, *keys):
        _run(["xdotool", "key", "--delay", "40"] + list(keys))

    def type_text(self, text):
        _run(["xdotool", "type", "--delay", "25", "--", text], timeout=60)


def _pump_events():
    """Delivers the AT-SPI signals that have arrived (they update libatspi's caches)."""
    from gi.repository import GLib
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


class Node:
    """A snapshot of one accessible object: role, name, states, extents.

    extents are screen pixels as the program believes them; rel is the
    place relative to the object's top-level window.
    """

    def __init__(self, acc, pyatspi):
        self.acc = acc
        self.role = acc.getRoleName()
        self.name = acc.name or ""
        states = acc.getState()
        self.showing = states.contains(pyatspi.STATE_SHOWING)
        self.visible = states.contains(pyatspi.STATE_VISIBLE)
        self.enabled = states.contains(pyatspi.STATE_ENABLED)
        self.focused = states.contains(pyatspi.STATE_FOCUSED)
        self.extents = None
        if self.showing:
            try:
                box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                self.extents = (box.x, box.y, box.width, box.height)
            except Exception:
                pass
        self.rel = None
        self.children = []

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()

    def find_all(self, role=None, name=None, showing=None):
        return [n for n in self.walk()
                if (role is None or n.role == role)
                and (name is None or n.name == name)
                and (showing is None or n.showing == showing)]

    def __repr__(self):
        return "<%s %r%s>" % (self.role, self.name, "" if self.showing else " hidden")


class Program:
    """One run of the tavrin binary on a Desktop."""

    def __init__(self, desktop, binary):
        self.desktop = desktop
        self.binary = binary
        self.proc = None
        self.log_path = None
        self._app = None
        self._pyatspi = None
        self.main_wid = None
        self.splash_wid = None
        self._menus = []

    def start(self):
        runs = len([f for f in os.listdir(self.desktop.workdir) if f.startswith("tavrin")])
        self.log_path = os.path.join(self.desktop.workdir, "tavrin-%d.log" % runs)
        log = open(self.log_path, "wb")
        env = self.desktop.child_env(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                     QT_QPA_PLATFORM=self.desktop.platform)
        self.proc = _spawn([self.binary], stdout=log, stderr=subprocess.STDOUT, env=env)
        log.close()
        return self

    @property
    def pid(self):
        return self.proc.pid

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def check_alive(self):
        if self.proc.poll() is not None:
            raise E2EError("the program exited with status %s\n%s"
                           % (self.proc.returncode, self.log()[-3000:]))

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise E2EError("the program did not exit within %.1f s" % timeout)

    def stop(self):
        _stop_group(self.proc)
        if self._app is not None:
            try:
                self._pyatspi.Registry.deregisterEventListener(
                    self._on_showing, "object:state-changed:showing")
            except Exception:
                pass

    # Windows.

    def windows(self, name=None):
        """{id: (x, y, w, h)} of this program's mapped windows (titled name, a regex)."""
        found = {}
        for wid in self.desktop.visible_windows(pid=self.pid, name=name):
            geo = self.desktop.window_geometry(wid)
            if geo is not None:
                found[wid] = geo
        return found

    def wait_splash(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the program's first window; returns (id, client rect)."""
        wins = wait_until(self.windows, "the splash window", timeout, check=self.check_alive)
        return sorted(wins.items())[0]

    def main_window_rect(self):
        """Client rect of the mapped main window, or None."""
        if self.main_wid is not None:
            if not self.desktop.is_viewable(self.main_wid):
                return None
            return self.desktop.window_geometry(self.main_wid)
        for wid, geo in self.windows(name="^Tavrin$").items():
            if wid != self.splash_wid and geo[2:] != SPLASH_SIZE:
                self.main_wid = wid
                return geo
        return None

    def wait_main_window(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the main window; returns its client rect on the screen."""
        return wait_until(self.main_window_rect, "the main window", timeout,
                          check=self.check_alive)

    def origin(self):
        rect = self.main_window_rect()
        if rect is None:
            raise E2EError("the main window is not shown")
        return rect[:2]

    # Accessibility.

    def app(self, timeout=DEFAULT_TIMEOUT):
        """The program's AT-SPI application object."""
        if self._app is None:
            import pyatspi
            from gi.repository import Atspi
            self._pyatspi = pyatspi

            seen = []

            def lookup():
                _pump_events()
                # The list of applications, too, is read afresh each time:
                # a cached one would miss a program started after it.
                desktop = pyatspi.Registry.getDesktop(0)
                desktop.set_cache_mask(Atspi.Cache.NONE)
                desktop.clear_cache()
                del seen[:]
                for i in range(desktop.childCount):
                    try:
                        app = desktop.getChildAtIndex(i)
                        pid = app.get_process_id() if app is not None else None
                    except Exception:
                        continue
                    seen.append((app.name, pid))
                    if pid == self.pid:
                        return app
                return None
            try:
                self._app = wait_until(lookup, "the program on the accessibility bus",
                                       timeout, check=self.check_alive)
            except E2EError as exc:
                raise E2EError("%s; applications seen (name, pid): %s" % (exc, seen))
            # Read every property afresh: nothing here runs the event loop
            # that would keep a cache up to date.
            self._app.set_cache_mask(Atspi.Cache.NONE)
            # Popup menus are not children of the application object; they
            # announce themselves when they show.
            pyatspi.Registry.registerEventListener(self._on_showing,
                                                   "object:state-changed:showing")
        return self._app

    def _on_showing(self, event):
        try:
            if event.detail1 and event.source.getRoleName() in ("popup menu", "menu"):
                self._menus.append(event.source)
        except Exception:
            pass

    def popup_menus(self):
        """Snapshots of this program's showing popup menus."""
        self.app()
        _pump_events()
        menus = []
        for acc in self._menus:
            try:
                node = self._snapshot(acc, False)
            except Exception:
                continue
            if node.showing:
                menus.append(node)
        return menus

    def tree(self, include_hidden=False):
        """Snapshot of the program's accessible objects under its windows.

        Hidden objects are listed, but what lies in them only with include_hidden.
        """
        app = self.app()
        app.clear_cache()
        root = self._snapshot(app, include_hidden)
        # Qt can misjudge where the window manager put a window, so places
        # read over AT-SPI are used relative to their top level; the X
        # server says where the top level really is.
        for top in root.children:
            for node in top.walk():
                if node.extents is not None and top.extents is not None:
                    node.rel = (node.extents[0] - top.extents[0],
                                node.extents[1] - top.extents[1]) + node.extents[2:]
        return root

    def _snapshot(self, acc, include_hidden, depth=0):
        node = Node(acc, self._pyatspi)
        # The application object itself is never "showing".
        if depth > 30 or (depth > 0 and not node.showing and not include_hidden):
            return node
        for i in range(acc.childCount):
            try:
                child = acc.getChildAtIndex(i)
            except Exception:
                continue
            if child is not None:
                node.children.append(self._snapshot(child, include_hidden, depth + 1))
        return node

    def top_levels(self):
        """The program's top-level accessible windows (showing ones only)."""
        return [n for n in self.tree().children if n.showing]

    def main_window(self):
        """The showing top level that holds Play Now or the cells."""
        for top in self.top_levels():
            if top.find_all(role="push button", name="Play Now") or \
                    any(CELL_NAME.match(n.name) for n in top.find_all(role="push button")):
                return top
        return None

    def wait_for(self, predicate, what, timeout=DEFAULT_TIMEOUT):
        """Polls predicate(program) while checking the program is alive."""
        return wait_until(lambda: predicate(self), what, timeout, check=self.check_alive)


CELL_NAME = re.compile(r"^Cell ([1-9]), (empty|O|X)$")


def caption_of(node):
    """A cell's caption from its accessible name ("5", or "Cell 5, O")."""
    m = CELL_NAME.match(node.name)
    if m:
        return m.group(1) if m.group(2) == "empty" else m.group(2)
    return node.name


class MainState:
    """What the main window shows, read over AT-SPI and told apart by place.

    cells[i] is cell i's caption (None when hidden), enabled[i] its enabled
    flag; label1..label4, frame1, frame2, play_now and continue_ are the
    showing controls' names (None when hidden); list1 and list2 the entries
    of the showing score lists.
    """

    PLACES = {"label1": LABEL1, "label2": LABEL2, "label3": LABEL3, "label4": LABEL4,
              "frame1": FRAME1, "frame2": FRAME2, "play_now": PLAY_NOW,
              "continue_": CONTINUE}

    def __init__(self, window):
        self.window = window
        by_place = {}
        for node in window.walk():
            if node.showing and node.rel is not None and node is not window:
                by_place.setdefault(node.rel, []).append(node)
        self.by_place = by_place

        def at(rect, roles=None):
            for node in by_place.get(tuple(rect), []):
                if roles is None or node.role in roles:
                    return node
            return None
        self.cells, self.enabled, self.focused = [], [], []
        for i in range(9):
            node = at(cell_rect(i), ("push button", "toggle button"))
            self.cells.append(caption_of(node) if node else None)
            self.enabled.append(node.enabled if node else None)
            self.focused.append(bool(node and node.focused))
        for attr, rect in self.PLACES.items():
            node = at(rect)
            setattr(self, attr, node.name if node else None)
        self.list1 = self._entries(at(LIST1, ("list", "list box", "table", "tree")))
        self.list2 = self._entries(at(LIST2, ("list", "list box", "table", "tree")))
        self.showing_buttons = sorted(n.name for n in window.walk()
                                      if n.showing and n.role == "push button")

    @staticmethod
    def _entries(node):
        if node is None:
            return None
        return [n.name for n in node.walk() if n.role in ("list item", "table cell")]

    def __repr__(self):
        return ("cells=%s enabled=%s label1=%r label2=%r label4=%r frames=%r/%r lists=%s/%s "
                "buttons=%s" % (self.cells, self.enabled, self.label1, self.label2,
                                self.label4, self.frame1, self.frame2, self.list1,
                                self.list2, self.showing_buttons))


def main_state(program):
    """The main window's MainState, or None while it is not shown."""
    win = program.main_window()
    if win is None:
        return None
    return MainState(win)


def red_fraction(image, rect):
    """Share of the pixels of rect (x, y, w, h in image coordinates) that are pure red."""
    x, y, w, h = rect
    region = image.crop((x, y, x + w, y + h))
    reds = sum(1 for px in region.getdata() if px == RED)
    return reds / float(w * h)


class DesktopTestCase(unittest.TestCase):
    """Gives each test a fresh desktop and the steps a player takes."""

    binary = None
    desktop_class = Desktop

    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="tavrin-e2e-")
        self.addCleanup(shutil.rmtree, self.workdir, True)
        self.desktop = self.desktop_class(self.workdir)
        self.addCleanup(self.desktop.close)
        self.desktop.start()
        self.programs = []
        self.addCleanup(self._stop_programs)

    def _stop_programs(self):
        result = getattr(getattr(self, "_outcome", None), "result", None)
        failed = any(test is self for test, _ in getattr(result, "failures", [])
                     + getattr(result, "errors", []))
        for program in self.programs:
            if failed:
                self._keep_artifacts(program)
            program.stop()

    def _keep_artifacts(self, program):
        """On failure: print the program's output and keep a screenshot."""
        sys.stderr.write("\n--- output of the program (%s) ---\n%s\n"
                         % (self.id(), program.log()[-4000:]))
        try:
            path = os.path.abspath("%s-failure.png" % self.id().split(".")[-1])
            self.desktop.screenshot().save(path)
            sys.stderr.write("screenshot at the failure: %s\n" % path)
        except Exception as exc:
            sys.stderr.write("no screenshot: %s\n" % exc)

    def start_program(self):
        program = Program(self.desktop, self.binary)
        self.programs.append(program)
        return program.start()

    # Reading the main window.

    def state(self, program):
        st = main_state(program)
        if st is None:
            raise E2EError("the main window is not shown")
        return st

    def wait_state(self, program, predicate, what, timeout=DEFAULT_TIMEOUT):
        """Polls the main window until predicate(state) holds; returns the state."""
        last = [None]

        def probe(p):
            st = main_state(p)
            last[0] = st
            return st if st is not None and predicate(st) else None
        try:
            return program.wait_for(probe, what, timeout)
        except E2EError as exc:
            raise E2EError("%s\nlast seen: %r" % (exc, last[0]))

    def screenshot_client(self, program):
        """The main window's client area as a PIL image."""
        x, y = program.origin()
        return self.desktop.screenshot((x, y) + MAIN_SIZE)

    # Steps a player takes.

    def splash_frame_spot(self, program, rect):
        """A screen point on the splash's frame that none of its labels covers."""
        seen = []

        def frame():
            tops = program.tree().children
            seen[:] = [[(n.role, n.rel, n.showing) for n in top.walk()] for top in tops]
            for top in tops:
                for n in top.walk():
                    if n.showing and n.rel == SPLASH_FRAME:
                        return n
            return None
        try:
            node = program.wait_for(lambda p: frame(), "the splash's frame on the accessibility bus",
                                    timeout=4)
        except E2EError as exc:
            raise E2EError("%s; seen: %s" % (exc, seen))
        covers = [n.rel for n in node.walk() if n is not node and n.showing and n.rel]
        for fx, fy in SPLASH_FREE_SPOTS:
            x, y = SPLASH_FRAME[0] + fx, SPLASH_FRAME[1] + fy
            if not any(cx <= x < cx + cw and cy <= y < cy + ch for cx, cy, cw, ch in covers):
                return (rect[0] + x, rect[1] + y)
        raise E2EError("every tried spot of the splash's frame is covered: %s" % covers)

    def skip_splash(self, program):
        """Clicks the splash's frame away from its labels; returns the main window's rect."""
        wid, rect = program.wait_splash()
        program.splash_wid = wid
        fx, fy = SPLASH_FREE_SPOTS[0]
        self.desktop.click_at(rect[0] + SPLASH_FRAME[0] + fx, rect[1] + SPLASH_FRAME[1] + fy)
        return program.wait_main_window(timeout=5)

    def click_client(self, program, point, button=1):
        x, y = program.origin()
        self.desktop.click_at(x + point[0], y + point[1], button)

    def find_top_level(self, program, name):
        """The showing top-level window holding an object named name, or None."""
        for top in program.top_levels():
            if top.find_all(name=name, showing=True):
                return top
        return None

    def answer_prompt(self, program, prompt, text):
        """Waits for the name prompt saying prompt, types text, presses Enter."""
        def editor():
            top = self.find_top_level(program, prompt)
            if top is None:
                return None
            edits = [n for n in top.walk() if n.role in ("text", "entry") and n.showing]
            return (top, edits[0]) if edits else None
        top, _ = program.wait_for(lambda p: editor(), "the prompt %r" % prompt)
        self.assertEqual(top.name, "Tavrin", "title of the prompt %r" % prompt)
        def field_focused(p):
            found = editor()
            return found is not None and found[1].focused
        program.wait_for(field_focused,
                         "the text field of the prompt %r to take the focus" % prompt)
        self.desktop.type_text(text)
        program.wait_for(lambda p: editor() and text_of(editor()[1]) == text,
                         "%r typed into the prompt %r" % (text, prompt))
        self.desktop.key("Return")
        program.wait_for(lambda p: self.find_top_level(p, prompt) is None,
                         "the prompt %r to close" % prompt)

    def play_now(self, program, first, second, key=None):
        """Presses Play Now, with a click or with key while it has the focus,
        and names the players; waits for the board."""
        if key:
            self.desktop.key(key)
        else:
            self.click_client(program, centre(PLAY_NOW))
        self.answer_prompt(program, "Enter name of first player", first)
        self.answer_prompt(program, "Enter name of second player", second)
        return self.wait_state(program, lambda st: st.cells == [str(i) for i in range(1, 10)]
                               and st.label4 == first,
                               "the board after Play Now")

    def focus_a_cell(self, program):
        """Makes sure an open cell has the keyboard focus, with Tab if needed."""
        for _ in range(20):
            st = self.state(program)
            if any(f and e for f, e in zip(st.focused, st.enabled)):
                return
            self.desktop.key("Tab")
            time.sleep(0.1)
        raise E2EError("no open cell takes the focus with Tab")

    def move(self, program, cell, mark, key=False):
        """Plays cell (0..8) by a click or by its digit key; waits for mark there."""
        if key:
            self.focus_a_cell(program)
            self.desktop.key(str(cell + 1))
        else:
            self.click_client(program, centre(cell_rect(cell)))
        return self.wait_state(program, lambda st: st.cells[cell] == mark,
                               "%r in cell %d after %s" % (mark, cell,
                                                           "its key" if key else "a click"))


def text_of(node):
    """The text of an editable accessible object (its name as a fallback)."""
    try:
        return node.acc.queryText().getText(0, -1)
    except Exception:
        return node.name


def run_tests():
    """Entry point of a test script: argv[1] is the tavrin binary."""
    if not re.fullmatch(r"\d+,\d+", os.environ.get(_BUS_MARK, "")):
        dbus = shutil.which("dbus-run-session")
        if dbus is None or shutil.which("dbus-daemon") is None:
            sys.exit("dbus-run-session or dbus-daemon is missing (Debian package dbus)")
        # The accessibility bus launcher puts its socket in the runtime
        # directory (else in ~/.cache, shared with every other session on the
        # machine, where sessions running side by side take each other's
        # bus); and it must not find any X display of the caller's.
        runtime = tempfile.mkdtemp(prefix="tavrin-e2e-bus-")
        os.environ["XDG_RUNTIME_DIR"] = runtime
        os.environ[_RUNTIME_MARK] = runtime
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS"):
            os.environ.pop(name, None)
        # The bus daemons chatter on stdout and stderr; they get /dev/null,
        # and the test itself gets both back through spare descriptors.
        saved = []
        for fd in (1, 2):
            spare = os.dup(fd)
            os.set_inheritable(spare, True)
            saved.append(str(spare))
        os.environ[_BUS_MARK] = ",".join(saved)
        null = os.open(os.devnull, os.O_WRONLY)
        sys.stdout.flush()
        sys.stderr.flush()
        os.dup2(null, 1)
        os.dup2(null, 2)
        os.execv(dbus, [dbus, "--", sys.executable] + sys.argv)
    for fd, spare in zip((1, 2), os.environ[_BUS_MARK].split(",")):
        os.dup2(int(spare), fd)
        os.close(int(spare))
    # Inside the private bus now; a test started from here gets its own.
    os.environ[_BUS_MARK] = "inside"
    # When CTest's timeout ends the bus session, or anyone ends the test,
    # take the X server, the window manager and the program along.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)
    signal.signal(signal.SIGTERM, _on_sigterm)
    signal.signal(signal.SIGHUP, _on_sigterm)
    if len(sys.argv) < 2:
        sys.exit("usage: %s /path/to/tavrin [unittest options]" % sys.argv[0])
    DesktopTestCase.binary = os.path.abspath(sys.argv[1])
    if not os.access(DesktopTestCase.binary, os.X_OK):
        sys.exit("not an executable: %s" % DesktopTestCase.binary)
    try:
        program = unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2,
                                warnings="ignore", exit=False)
    finally:
        shutil.rmtree(os.environ.get(_RUNTIME_MARK, ""), ignore_errors=True)
    sys.exit(0 if program.result.wasSuccessful() else 1)
