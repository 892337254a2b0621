# SPDX-License-Identifier: GPL-3.0-or-later
"""What the program touches: a whole match played under `strace -f`.

The program keeps no files and uses no network. Over a whole match and a
game of the next, from start to Exit Game, with HOME a fresh empty
directory, it must:
- open no file for writing and create, remove or change none (devices such
  as /dev/null and shared memory are not files it keeps);
- touch nothing in HOME but what the libraries under it look up for fonts,
  themes and the X session (listed below with the reason for each);
- open no internet socket: only Unix sockets, connected to the X server and
  the session's D-Bus buses (the session bus, and the accessibility bus
  that these tests switch on to read the window).
"""

import fnmatch
import os
import re
import shutil
import subprocess
import sys
import time

import strace_log
from player import OPENER_WINS

# Places under HOME that libraries the program links may look at, none of
# them the program's own: (pattern relative to HOME, why).
HOME_ALLOWED = [
    (".fontconfig/*", "fontconfig: per-user font caches (old place)"),
    (".cache/fontconfig", "fontconfig: per-user font caches"),
    (".cache/fontconfig/*", "fontconfig: per-user font caches"),
    (".config/fontconfig/*", "fontconfig: the user's font configuration"),
    (".fonts.conf", "fontconfig: the user's font configuration (old place)"),
    (".fonts.conf.d", "fontconfig: the user's font configuration (old place)"),
    (".fonts", "fontconfig: the user's own fonts (old place)"),
    (".local/share/fonts", "fontconfig: the user's own fonts"),
    (".icons", "Qt and libXcursor: the user's icon and cursor themes"),
    (".icons/*", "Qt and libXcursor: the user's icon and cursor themes"),
    (".local/share/icons", "Qt: the user's icon themes"),
    (".Xdefaults", "libXcursor: X resources naming the cursor theme and size"),
    (".Xdefaults-*", "libXcursor: X resources naming the cursor theme and size"),
    (".Xauthority", "libxcb: the credentials for the X server"),
    (".XCompose", "Qt's compose input context: the user's compose key table"),
    (".config/XCompose", "Qt's compose input context: the user's compose key table"),
    (".config/QtProject/qtlogging.ini", "Qt: the user's logging rules"),
]
# Written by a library, not by the program: fontconfig refreshes a stale
# system font cache into the user's cache directory. Allowed, and reported.
LIBRARY_WRITES = [".cache/fontconfig", ".cache/fontconfig/*"]
# Devices and shared memory: not files of the file system that outlive the run.
NOT_FILES = ["/dev/*"]


def address_paths(address):
    """Unix socket names in a D-Bus address ("@" marks the abstract space)."""
    names = []
    for part in address.split(";"):
        m = re.match(r"unix:(.*)", part)
        if not m:
            continue
        keys = dict(kv.split("=", 1) for kv in m.group(1).split(",") if "=" in kv)
        if "path" in keys:
            names.append(keys["path"])
        if "abstract" in keys:
            names.append("@" + keys["abstract"])
    return names


def accessibility_bus():
    """The accessibility bus's address, asked of the session bus."""
    done = subprocess.run(
        ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
         "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
        stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=10)
    return done.stdout.strip() if done.returncode == 0 else ""


# The program runs under strace -D,
# which makes it the started process itself (the tracer runs as its
# grandchild), so its pid and exit status are the program's own.
TRACED = "trace=%file,socket,socketpair,connect,bind,listen,accept,accept4,sendto"


def wait_trace_end(trace, pid):
    """Waits until strace has written the program's exit; returns the log's lines."""
    # strace pads the pid column to a common width.
    last = re.compile(r"^%d\s+\+\+\+ (exited|killed)" % pid)
    deadline = time.monotonic() + 10
    while True:
        with open(trace, errors="replace") as f:
            lines = f.readlines()
        if any(last.match(line) for line in lines):
            return lines
        assert time.monotonic() < deadline, "strace never wrote the program's (pid %d) exit; its log ends:\n%s" % (
            pid, "".join(lines[-10:]))
        time.sleep(0.1)


def test_a_whole_match_touches_no_file_home_or_network(start_tavrin, desktop, workdir):
    assert shutil.which("strace"), "strace is missing (Debian package strace)"
    home = os.path.join(workdir, "user-home")
    os.mkdir(home, 0o700)
    trace = os.path.join(workdir, "strace.log")
    # Left unset, the libraries derive the XDG places from HOME, as on a desktop.
    player = start_tavrin(wrapper=["strace", "-D", "-f", "--seccomp-bpf", "-o", trace, "-e", TRACED],
                          log_name="tavrin-traced.log", HOME=home, XDG_CONFIG_HOME=None,
                          XDG_CACHE_HOME=None, XDG_DATA_HOME=None, XAUTHORITY=None)
    player.start_at_main_menu()
    player.play_now("Ann", "Ben")
    player.play_match_to_question()
    player.answer_yes()
    player.wait_state(lambda st: st.list1 == [], "a new match after Yes")
    player.play(OPENER_WINS)
    player.wait_result("Ann", 1, "the new match's first game")
    player.choose_from_popup("Exit Game")
    assert player.program.wait_exit(10) == 0, "exit status after Exit Game on a game's result"

    calls, exits = strace_log.parse(wait_trace_end(trace, player.program.pid))
    # Keep the log next to the test's output when something is wrong.
    kept = os.path.abspath("strace-whole-match.log")
    shutil.copyfile(trace, kept)

    findings, notes = judge(calls, home, desktop.display, accessibility_bus())
    # Font caches are named by hashes: one line for each kind.
    touched = sorted({re.sub(r"[0-9a-f]{32}", "*", under(path, home))
                      for call in calls for path in call.paths() if under(path, home) is not None})
    sys.stderr.write("\n%d calls traced; under HOME: %s; sockets: %s\n"
                     % (len(calls), ", ".join(touched) or "nothing",
                        ", ".join(sorted({c.socket_domain() for c in calls if c.name == "socket"}))))
    for note in notes:
        sys.stderr.write("note: %s\n" % note)
    assert not findings, "the program touched what it should not (%d findings; log kept at %s):\n  %s" % (
        len(findings), kept, "\n  ".join(findings))
    os.remove(kept)


def under(path, home):
    """path relative to home when it lies inside it, else None."""
    if path == home:
        return "."
    if path.startswith(home.rstrip("/") + "/"):
        return os.path.normpath(path[len(home):].lstrip("/"))
    return None


def judge(calls, home, display, a11y_address):
    x_socket = "/tmp/.X11-unix/X" + display.lstrip(":").split(".")[0]
    allowed_sockets = {x_socket, "@" + x_socket}
    allowed_sockets.update(address_paths(os.environ.get("DBUS_SESSION_BUS_ADDRESS", "")))
    allowed_sockets.update(address_paths(a11y_address))

    findings, notes = [], []
    programs = [c for c in calls if c.name in ("execve", "execveat") and not c.failed]
    for call in programs[1:]:
        findings.append("started another program: %s" % call)

    for call in calls:
        # Files: nothing opened for writing, nothing created or changed.
        if call.opens_for_writing() or call.modifies():
            for path in call.paths()[:1]:
                inside = under(path, home)
                if any(fnmatch.fnmatch(path, p) for p in NOT_FILES):
                    continue
                if inside is not None and any(fnmatch.fnmatch(inside, p) for p in LIBRARY_WRITES):
                    notes.append("written by fontconfig, not the program: %s" % call)
                elif inside is not None or not call.failed:
                    findings.append("writes to the file system: %s" % call)
        # HOME: only the libraries' font, theme and X session look-ups.
        for path in call.paths():
            inside = under(path, home)
            if inside is not None and not any(fnmatch.fnmatch(inside, p) for p, _ in HOME_ALLOWED):
                findings.append("looks into HOME at %s: %s" % (inside, call))
        # Network: Unix sockets only, to the X server and the buses.
        if call.name in ("socket", "socketpair") and call.socket_domain() != "AF_UNIX":
            findings.append("opens a socket that is not a Unix one: %s" % call)
        if call.name in ("connect", "sendto") and call.address_family() is not None:
            if call.address_family() != "AF_UNIX":
                findings.append("reaches out beyond the machine: %s" % call)
            elif call.unix_path() not in allowed_sockets:
                findings.append("connects to an unexpected socket (allowed: %s): %s"
                                % (sorted(allowed_sockets), call))
        if call.name in ("bind", "listen", "accept", "accept4") and not call.failed:
            findings.append("offers a socket: %s" % call)
    return findings, notes
