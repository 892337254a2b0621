# SPDX-License-Identifier: GPL-3.0-or-later
"""A private D-Bus session bus for the test process and every program it
starts, so that the program, the accessibility reader (and a screen reader,
when a test starts one) meet on one accessibility bus and nothing of the
caller's session is touched."""

import os
import shutil
import tempfile

from processes import DesktopError, spawn_reporting, stop_group


class SessionBus:
    """start() before the first AT-SPI call of the process; close() at the end."""

    def __init__(self):
        self.daemon = None
        self.runtime = None
        self.address = None
        self._saved = {}

    def start(self):
        if shutil.which("dbus-daemon") is None:
            raise DesktopError("dbus-daemon is missing (Debian package dbus)")
        # The accessibility bus launcher puts its socket in the runtime
        # directory (else in ~/.cache, shared with every other session on the
        # machine, where sessions running side by side take each other's
        # bus), and it must not find any X display of the caller's.
        self.runtime = tempfile.mkdtemp(prefix="tavrin-bus-")
        changes = {"XDG_RUNTIME_DIR": self.runtime, "DISPLAY": None, "WAYLAND_DISPLAY": None,
                   "AT_SPI_BUS_ADDRESS": None}
        self._apply(changes)
        self.daemon, self.address = spawn_reporting(
            ["dbus-daemon", "--session", "--nofork", "--nosyslog", "--print-address={fd}"],
            "the private D-Bus session")
        self._apply({"DBUS_SESSION_BUS_ADDRESS": self.address})
        return self

    def _apply(self, changes):
        for name, value in changes.items():
            self._saved.setdefault(name, os.environ.get(name))
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value

    def close(self):
        # The accessibility bus and its registry were started by this bus
        # and live in its process group.
        stop_group(self.daemon, grace=1.0)
        self.daemon = None
        self._apply({name: value for name, value in self._saved.items()})
        self._saved = {}
        if self.runtime is not None:
            shutil.rmtree(self.runtime, ignore_errors=True)
            self.runtime = None
