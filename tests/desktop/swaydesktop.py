# SPDX-License-Identifier: GPL-3.0-or-later
"""A private headless sway: the Wayland desktop.

SwayDesktop offers what X11Desktop offers, so the same Program and player's
steps drive the program on its Wayland platform plugin.
Windows and their places come from the compositor (swaymsg -t get_tree),
screenshots from grim, and input from virtualinput, a client of sway's
virtual pointer and keyboard that the build makes (its path in
TAVRIN_VIRTUAL_INPUT): the compositor routes their events as from real
devices, to the window under the pointer and the focused window.
"""

import glob
import io
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

from processes import DEFAULT_TIMEOUT, DesktopError, desktop_env, run, spawn, stop_group, wait_until

CONFIG = """\
output HEADLESS-1 mode {width}x{height}
xwayland disable
"""

# sway refuses to run as root; it runs as this user then.
UNPRIVILEGED = ("nobody", "nogroup")


class SwayDesktop:
    """A private headless sway with a virtual pointer and keyboard."""

    platform = "wayland"

    def __init__(self, workdir, size=(1280, 1024)):
        self.workdir = workdir
        self.size = tuple(size)
        self.runtime = None
        self.sway = None
        self.input = None
        self.socket = None
        self.ipc = None
        self.background = None
        self._drawn = set()
        self._helpers = []

    # Start and stop.

    def start(self):
        # sway's runtime directory must be its own, so it cannot lie in the
        # test's private workdir when sway runs as another user.
        self.runtime = tempfile.mkdtemp(prefix="tavrin-sway-")
        config = os.path.join(self.runtime, "config")
        with open(config, "w") as f:
            f.write(CONFIG.format(width=self.size[0], height=self.size[1]))
        command = ["sway", "--config", config]
        if os.geteuid() == 0:
            import grp
            import pwd
            user = pwd.getpwnam(UNPRIVILEGED[0])
            os.chown(self.runtime, user.pw_uid, grp.getgrnam(UNPRIVILEGED[1]).gr_gid)
            os.chmod(config, 0o644)
            # A change of user clears the parent-death signal unless kept.
            command = ["setpriv", "--reuid=" + UNPRIVILEGED[0], "--regid=" + UNPRIVILEGED[1],
                       "--clear-groups", "--pdeathsig", "keep"] + command
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.runtime,
               "XDG_RUNTIME_DIR": self.runtime, "WLR_BACKENDS": "headless",
               "WLR_HEADLESS_OUTPUTS": "1", "WLR_LIBINPUT_NO_DEVICES": "1",
               "WLR_RENDERER": "pixman"}
        self.sway = spawn(command, log_path=os.path.join(self.workdir, "sway.log"), env=env)
        wait_until(self._sockets, "sway's Wayland and IPC sockets", check=self._check_sway)
        wait_until(self._output_ready, "sway's headless output", check=self._check_sway)
        self.background = self.screenshot((self.size[0] - 1, self.size[1] - 1, 1, 1)).getpixel((0, 0))
        self._start_input()
        return self

    def _check_sway(self):
        if self.sway.poll() is not None:
            raise DesktopError("sway exited with status %s; see %s"
                           % (self.sway.returncode, os.path.join(self.workdir, "sway.log")))

    def _sockets(self):
        ipc = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))
        wayland = [p for p in glob.glob(os.path.join(self.runtime, "wayland-*"))
                   if not p.endswith(".lock")]
        if not ipc or not wayland:
            return False
        self.ipc, self.socket = ipc[0], wayland[0]
        return True

    def _output_ready(self):
        done = self._swaymsg("-t", "get_outputs", check=False)
        if done.returncode != 0:
            return False
        return any(o.get("active") and (o["rect"]["width"], o["rect"]["height"]) == self.size
                   for o in json.loads(done.stdout))

    def _start_input(self):
        tool = os.environ.get("TAVRIN_VIRTUAL_INPUT")
        if not tool or not os.access(tool, os.X_OK):
            raise DesktopError("TAVRIN_VIRTUAL_INPUT names no program (the build's virtualinput)")
        with open(os.path.join(self.workdir, "virtualinput.log"), "wb") as log:
            self.input = spawn([tool, str(self.size[0]), str(self.size[1])], env=self.child_env(),
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=log)
        self._answer("ready", "the virtual pointer and keyboard")

    def child_env(self, **extra):
        """The environment for programs on this desktop."""
        return desktop_env(self.workdir, WAYLAND_DISPLAY=self.socket, **extra)

    def close(self):
        if self.input is not None and self.input.stdin is not None:
            try:
                self.input.stdin.close()
            except OSError:
                pass
        for helper in self._helpers:
            stop_group(helper)
        stop_group(self.input)
        stop_group(self.sway)
        self.input = self.sway = None
        if self.runtime is not None:
            shutil.rmtree(self.runtime, ignore_errors=True)
            self.runtime = None

    # Windows, read from the compositor.

    def _swaymsg(self, *args, check=True):
        return run(["swaymsg", "--socket", self.ipc, "--raw"] + list(args), check=check)

    def views(self):
        """{container id: sway's record} of every mapped window."""
        found = {}

        def walk(node):
            if node.get("pid") is not None:
                found[node["id"]] = node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(json.loads(self._swaymsg("-t", "get_tree").stdout))
        return found

    @staticmethod
    def _geometry(view):
        outer, inner = view["rect"], view["window_rect"]
        return (outer["x"] + inner["x"], outer["y"] + inner["y"], inner["width"], inner["height"])

    def visible_windows(self, pid):
        """Ids of the shown windows of process pid."""
        return [wid for wid, view in self.views().items()
                if view.get("visible") and view["pid"] == pid and self._on_screen(wid, view)]

    def title(self, wid):
        """The title the compositor shows for window wid."""
        view = self.views().get(wid)
        return view.get("name") if view is not None else None

    def _on_screen(self, wid, view):
        """Whether the screen shows window wid yet.

        sway lists a window as soon as it maps, and places it and sends it
        input a frame or more later, once the window has drawn itself there:
        until its corner leaves the desktop's colour, a click would miss it.
        """
        if wid not in self._drawn:
            x, y = self._geometry(view)[:2]
            if self.screenshot((x, y, 1, 1)).getpixel((0, 0)) == self.background:
                return False
            self._drawn.add(wid)
        return True

    def window_geometry(self, wid):
        """(x, y, width, height) of window wid on the screen: the surface's
        window geometry, which holds whatever the window draws around itself."""
        view = self.views().get(wid)
        return self._geometry(view) if view is not None else None

    def is_viewable(self, wid):
        view = self.views().get(wid)
        return bool(view and view.get("visible"))

    def request_close(self, wid):
        """Asks window wid to close, as its close button would."""
        self._swaymsg("[con_id=%d]" % wid, "kill")

    def screenshot(self, rect=None):
        """A PIL image of the screen, or of rect (x, y, w, h) in screen pixels."""
        from PIL import Image
        x, y, w, h = rect if rect is not None else (0, 0) + self.size
        args = ["grim", "-t", "ppm", "-g", "%d,%d %dx%d" % (x, y, w, h), "-"]
        try:
            done = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True,
                                  env=self.child_env(), timeout=10)
        except subprocess.TimeoutExpired:
            raise DesktopError("grim took longer than 10 s")
        if done.returncode != 0:
            raise DesktopError("grim failed: %s" % done.stderr.decode(errors="replace").strip())
        return Image.open(io.BytesIO(done.stdout)).convert("RGB")

    # Input, through the virtual devices.

    def _answer(self, expected, what, timeout=DEFAULT_TIMEOUT):
        deadline = time.monotonic() + timeout
        line = b""
        while not line.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or self.input.poll() is not None:
                raise DesktopError("no answer from virtualinput for %s; see %s"
                               % (what, os.path.join(self.workdir, "virtualinput.log")))
            ready, _, _ = select.select([self.input.stdout], [], [], left)
            if ready:
                chunk = os.read(self.input.stdout.fileno(), 1)
                if not chunk:
                    continue
                line += chunk
        answer = line.decode().strip()
        if answer != expected:
            raise DesktopError("virtualinput, for %s: %s" % (what, answer))

    def _send(self, command, timeout=DEFAULT_TIMEOUT):
        self.input.stdin.write((command + "\n").encode())
        self.input.stdin.flush()
        self._answer("ok", repr(command), timeout)

    def move_to(self, x, y):
        self._send("move %d %d" % (x, y))

    def press(self, button=1):
        self._send("press %d" % button)

    def release(self, button=1):
        self._send("release %d" % button)

    def click_at(self, x, y, button=1):
        self.move_to(x, y)
        self._send("click %d" % button)

    def key(self, *keys):
        for k in keys:
            self._send("key " + k)
            time.sleep(0.04)

    def type_text(self, text):
        self._send("type " + text, timeout=60)

    def clicks(self, points):
        for x, y in points:
            self.click_at(x, y)

    def spawn(self, args, log_name, **extra_env):
        """Starts another program on this desktop (and the session's bus),
        such as a screen reader, its output in log_name of the work
        directory; it is stopped with the desktop."""
        helper = spawn(args, log_path=os.path.join(self.workdir, log_name), env=self.child_env(**extra_env))
        self._helpers.append(helper)
        return helper
