# SPDX-License-Identifier: GPL-3.0-or-later
"""Orca, the screen reader, on a test's desktop and bus, and what it says.

Orca speaks through speech-dispatcher, which without a sound server waits
for ever on its default output (PulseAudio), and Orca falls silent: a copy
of its configuration sends the sound to ALSA's null device. It is started
here, not by Orca, so that it ends with the desktop (once stuck it ignores
SIGTERM). What Orca says comes from its debug log, an utterance per
"SPEECH OUTPUT" entry; the log is a pty, so that Python writes it a line
at a time rather than a block.
"""

import os
import pty
import re
import select
import shutil
import time
import tty

from processes import DesktopError, stop_group, wait_until

# A log entry starts with the time it was written; an utterance's entry is
# its text in quotes (lines after the first indented), then its voice.
_STAMP = re.compile(r"\d\d:\d\d:\d\d\.\d{6} - ")
_UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\w+)? ?\{.*\}$", re.S)


class Orca:
    """start() on an X11 desktop, before the program; close() at the end."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.proc = self.speechd = None
        self.master = self.slave = None
        self.pending = b""
        self.entry = None
        self.heard = []  # (time.monotonic() when read, utterance)

    def start(self, timeout=30):
        env = self.desktop.child_env()
        with open(os.path.join(env["HOME"], ".asoundrc"), "w") as f:  # ALSA's default device
            f.write("pcm.!default { type null }\n")
        conf = os.path.join(env["XDG_CONFIG_HOME"], "speech-dispatcher")
        shutil.copytree("/etc/speech-dispatcher", conf)
        with open(os.path.join(conf, "speechd.conf"), "a") as f:
            f.write('\nAudioOutputMethod "alsa"\n')
        self.speechd = self.desktop.spawn(["speech-dispatcher", "--run-single", "--timeout", "0",
                                           "--config-dir", conf], "speechd.log")
        socket = os.path.join(env["XDG_RUNTIME_DIR"], "speech-dispatcher", "speechd.sock")
        wait_until(lambda: os.path.exists(socket), "speech-dispatcher's socket", timeout, self._alive)
        self.master, self.slave = pty.openpty()
        tty.setraw(self.slave)
        self.proc = self.desktop.spawn(["orca", "--debug-file=" + os.ttyname(self.slave)], "orca.log")
        self.wait_said(r"^Screen reader on", timeout=timeout)
        return self

    def _alive(self):
        for name, proc in (("speech-dispatcher", self.speechd), ("orca", self.proc)):
            if proc is not None and proc.poll() is not None:
                raise DesktopError("%s exited with status %s" % (name, proc.returncode))

    def _read(self):
        """Takes in the log lines Orca has written since the last call."""
        while select.select([self.master], [], [], 0)[0]:
            self.pending += os.read(self.master, 65536)
        *lines, self.pending = self.pending.split(b"\n")
        for line in (raw.decode("utf-8", "replace") for raw in lines):
            stamp = _STAMP.match(line)
            if stamp:
                self.entry = line[stamp.end():] if line.startswith("SPEECH OUTPUT: '", stamp.end()) else None
            elif self.entry is not None:
                self.entry += "\n" + line.strip()
            found = _UTTERANCE.match(self.entry) if self.entry is not None else None
            if found:
                self.heard.append((time.monotonic(), found.group(1)))
                self.entry = None

    def said(self, since=0):
        """Orca's utterances so far, from the one numbered since on."""
        self._read()
        return [text for _, text in self.heard[since:]]

    def wait_said(self, pattern, since=0, timeout=15):
        """The first utterance from number since on in which the regular
        expression pattern finds something; waits for it."""
        regex = re.compile(pattern)
        try:
            return wait_until(lambda: next((t for t in self.said(since) if regex.search(t)), None),
                              "Orca to say /%s/" % pattern, timeout, check=self._alive)
        except DesktopError as exc:
            raise DesktopError("%s; it said %r" % (exc, self.said(since)))

    def listen(self, seconds):
        """Takes in what Orca says for seconds; unread, its log would fill
        the pty and stop Orca."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self._read()
            time.sleep(0.02)

    def wait_quiet(self, seconds=0.6, timeout=20):
        """Waits until Orca has said nothing for seconds."""
        def quiet():
            self._read()
            return time.monotonic() - self.heard[-1][0] >= seconds
        wait_until(quiet, "Orca to fall quiet", timeout, check=self._alive)

    def close(self):
        """Ends Orca before its log, then speech-dispatcher."""
        stop_group(self.proc)
        stop_group(self.speechd, grace=0.5)
        for fd in (self.master, self.slave):
            if fd is not None:
                os.close(fd)
