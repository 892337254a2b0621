# SPDX-License-Identifier: GPL-3.0-or-later
"""Processes of a private desktop: started in their own process group, ended
with everything they started, and killed with the test that started them."""

import ctypes
import os
import select
import signal
import subprocess
import time

DEFAULT_TIMEOUT = 10.0
POLL = 0.05

_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1


class DesktopError(AssertionError):
    """A wait ran out, or a program of the desktop misbehaved; fails the test."""


def wait_until(predicate, what, timeout=DEFAULT_TIMEOUT, check=None):
    """Polls predicate() until it returns something true, and returns that.

    check, when given, runs on every step and may raise (for instance when
    the program has died), so that a wait does not outlast its cause.
    """
    deadline = time.monotonic() + timeout
    while True:
        if check is not None:
            check()
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise DesktopError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(POLL)


def run(args, timeout=10, check=True, env=None):
    """Runs a command to its end; its output as text."""
    try:
        done = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              timeout=timeout, env=env)
    except subprocess.TimeoutExpired:
        raise DesktopError("command took longer than %s s: %s" % (timeout, " ".join(args)))
    if check and done.returncode != 0:
        raise DesktopError("command failed (%d): %s\n%s"
                           % (done.returncode, " ".join(args), done.stderr.strip()))
    return done


def _die_with_parent():
    """In a child before exec: end it if the test dies without cleaning up."""
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def spawn(args, log_path=None, **kwargs):
    """Starts args in a process group of its own; its output to log_path."""
    kwargs.setdefault("stdin", subprocess.DEVNULL)
    if log_path is not None:
        with open(log_path, "ab") as log:
            return subprocess.Popen(args, start_new_session=True, preexec_fn=_die_with_parent,
                                    stdout=log, stderr=subprocess.STDOUT, **kwargs)
    return subprocess.Popen(args, start_new_session=True, preexec_fn=_die_with_parent, **kwargs)


def spawn_reporting(args, what, log_path=None):
    """Starts args, in which "{fd}" stands for a pipe the program writes one
    line to once it is ready (a display number, a bus address); returns
    (process, that line)."""
    read_end, write_end = os.pipe()
    proc = None
    try:
        proc = spawn([a.replace("{fd}", str(write_end)) for a in args], log_path=log_path or os.devnull,
                     pass_fds=(write_end,))
        os.close(write_end)
        write_end = None
        line = b""
        deadline = time.monotonic() + DEFAULT_TIMEOUT
        while not line.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or proc.poll() is not None:
                raise DesktopError("%s did not start%s" % (what, "; see %s" % log_path if log_path else ""))
            if select.select([read_end], [], [], left)[0]:
                chunk = os.read(read_end, 256)
                if not chunk:
                    raise DesktopError("%s closed its pipe" % what)
                line += chunk
    except BaseException:
        stop_group(proc)
        raise
    finally:
        os.close(read_end)
        if write_end is not None:
            os.close(write_end)
    return proc, line.decode().strip()


def stop_group(proc, grace=3.0):
    """Ends proc and everything it started (its process group)."""
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


def describe_status(code):
    """An exit status as words: "status 0", "killed by SIGTERM"."""
    if code is not None and code < 0:
        return "killed by %s" % signal.Signals(-code).name
    return "status %s" % code


def cpu_seconds(pid):
    """Processor time process pid has used so far, user and system."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are the 14th and 15th fields, the 12th and 13th after the name.
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


# Settings of the caller's session that must not reach a private desktop.
_CALLERS = ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR",
            "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_STYLE_OVERRIDE",
            "QT_QPA_PLATFORMTHEME", "SESSION_MANAGER", "DESKTOP_STARTUP_ID")


def desktop_env(workdir, **extra):
    """The environment for programs on a private desktop: its own home and
    runtime directory in workdir, none of the caller's display or Qt
    settings, then extra."""
    env = {k: v for k, v in os.environ.items() if k not in _CALLERS}
    env["HOME"] = os.path.join(workdir, "home")
    env["XDG_RUNTIME_DIR"] = os.path.join(workdir, "runtime")
    env["XDG_CONFIG_HOME"] = os.path.join(workdir, "home", ".config")
    env["XDG_CACHE_HOME"] = os.path.join(workdir, "home", ".cache")
    for d in (env["HOME"], env["XDG_RUNTIME_DIR"]):
        os.makedirs(d, mode=0o700, exist_ok=True)
    env.update(extra)
    return env
