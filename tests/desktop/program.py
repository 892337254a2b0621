# SPDX-License-Identifier: GPL-3.0-or-later
"""One run of a program on a private desktop: its process and exit status,
its output, its windows as the display server sees them, and its accessible
objects as a screen reader sees them."""

import os
import subprocess

from accessible import Application
from processes import DEFAULT_TIMEOUT, DesktopError, describe_status, spawn, stop_group, wait_until


class Program:
    """start() then stop(). wrapper, when given, is a command the program
    runs under (its last word is followed by the program); it must make the
    program its own process, as strace -D does, so that pid and exit status
    are the program's."""

    def __init__(self, desktop, binary, wrapper=(), log_name=None, **env):
        self.desktop = desktop
        self.binary = binary
        self.wrapper = list(wrapper)
        self.env = dict(env)
        self.log_name = log_name
        self.proc = None
        self.log_path = None
        self.accessible = None
        self.splash_wid = None
        self.main_wid = None

    def start(self):
        if self.log_name is None:
            runs = len([f for f in os.listdir(self.desktop.workdir) if f.startswith("tavrin")])
            self.log_name = "tavrin-%d.log" % runs
        self.log_path = os.path.join(self.desktop.workdir, self.log_name)
        env = self.desktop.child_env(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                     QT_QPA_PLATFORM=self.desktop.platform)
        for name, value in self.env.items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        self.proc = spawn(self.wrapper + [self.binary], log_path=self.log_path, env=env)
        self.accessible = Application(self.proc.pid, check=self.check_alive)
        return self

    @property
    def pid(self):
        return self.proc.pid

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except (OSError, TypeError):
            return ""

    def check_alive(self):
        if self.proc.poll() is not None:
            raise DesktopError("the program exited with %s\n%s"
                               % (describe_status(self.proc.returncode), self.log()[-3000:]))

    def wait_for(self, predicate, what, timeout=DEFAULT_TIMEOUT):
        """Polls predicate(program) while checking that the program lives."""
        return wait_until(lambda: predicate(self), what, timeout, check=self.check_alive)

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """The exit status, once the program has ended by itself."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise DesktopError("the program still runs %.1f s later\n%s" % (timeout, self.log()[-2000:]))

    def stop(self):
        if self.accessible is not None:
            self.accessible.close()
        stop_group(self.proc)

    # Windows, as the display server sees them.

    def windows(self):
        """{id: (x, y, w, h)} of the program's shown windows."""
        found = {}
        for wid in self.desktop.visible_windows(self.pid):
            geo = self.desktop.window_geometry(wid)
            if geo is not None:
                found[wid] = geo
        return found

    def wait_splash(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the program's first window; returns (id, rect)."""
        wins = wait_until(self.windows, "the splash window", timeout, check=self.check_alive)
        self.splash_wid, rect = sorted(wins.items())[0]
        return self.splash_wid, rect

    def main_window_rect(self):
        """Where the main window is shown (the first window after the
        splash), or None while it is not."""
        if self.main_wid is None:
            others = [wid for wid in self.windows() if wid != self.splash_wid]
            if self.splash_wid is None or not others:
                return None
            self.main_wid = min(others)
        if not self.desktop.is_viewable(self.main_wid):
            return None
        return self.desktop.window_geometry(self.main_wid)

    def wait_main_window(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the main window; returns its rect on the screen."""
        return wait_until(self.main_window_rect, "the main window", timeout, check=self.check_alive)

    def origin(self):
        rect = self.main_window_rect()
        if rect is None:
            raise DesktopError("the main window is not shown")
        return rect[:2]
