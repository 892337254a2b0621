# SPDX-License-Identifier: GPL-3.0-or-later
"""The pytest fixtures of the desktop tests (tests/conftest.py loads them).

- session_bus: one private D-Bus session for the whole run (the
  accessibility bus comes with it).
- desktop: a private desktop for each test; the marker
  @pytest.mark.desktop(kind="x11", "sway", "mutter" or "kwin", size=(w, h),
  window_manager=True) on a test, module or parameter chooses which
  (default: X11 under openbox, 1280x1024); on X11, window_manager may name
  another ("mutter", "kwin_x11", "xfwm4").
- start_tavrin(wrapper=(), log_name=None, **env): starts the program on the
  test's desktop (see Program) and returns a Player for it; the program is
  stopped after the test. When a test fails,
  the output of each program it started is printed and a screenshot of the
  screen is kept in the working directory (the test's build directory).

The program comes from --tavrin PATH or the environment's TAVRIN_BINARY.
"""

import os
import re
import shutil
import sys
import tempfile

import pytest

from player import Player
from program import Program
from sessionbus import SessionBus
from nesteddesktop import KWinDesktop, MutterDesktop
from swaydesktop import SwayDesktop
from x11desktop import X11Desktop

_reports = pytest.StashKey[dict]()


def pytest_addoption(parser):
    parser.addoption("--tavrin", default=os.environ.get("TAVRIN_BINARY"),
                     help="the tavrin program to test (default: $TAVRIN_BINARY)")


def pytest_configure(config):
    config.addinivalue_line("markers", "desktop(kind='x11', size=(1280, 1024), window_manager=True): "
                            "the desktop the test's program runs on")


@pytest.hookimpl(tryfirst=True, hookwrapper=True)
def pytest_runtest_makereport(item, call):
    # Each phase's report, for the fixtures to see whether the test failed.
    outcome = yield
    report = outcome.get_result()
    item.stash.setdefault(_reports, {})[report.when] = report


def failed(request):
    reports = request.node.stash.get(_reports, {})
    return any(r.failed for r in reports.values())


@pytest.fixture(scope="session")
def tavrin(request):
    path = request.config.getoption("--tavrin")
    if not path or not os.access(path, os.X_OK):
        pytest.exit("give the tavrin program with --tavrin PATH (or TAVRIN_BINARY): %r" % path, 2)
    return os.path.abspath(path)


@pytest.fixture(scope="session")
def session_bus():
    bus = SessionBus().start()
    yield bus
    bus.close()


@pytest.fixture
def workdir():
    path = tempfile.mkdtemp(prefix="tavrin-desktop-")
    yield path
    shutil.rmtree(path, ignore_errors=True)


@pytest.fixture
def desktop(request, session_bus, workdir):
    marker = request.node.get_closest_marker("desktop")
    options = dict(marker.kwargs) if marker else {}
    kind = options.pop("kind", "x11")
    desktops = {"x11": X11Desktop, "sway": SwayDesktop, "mutter": MutterDesktop, "kwin": KWinDesktop}
    made = desktops[kind](workdir, **options)
    try:
        yield made.start()
    finally:
        made.close()


@pytest.fixture
def start_tavrin(request, desktop, tavrin):
    programs = []

    def start(**kwargs):
        """Starts the program (see Program for kwargs); returns its Player."""
        program = Program(desktop, tavrin, **kwargs).start()
        programs.append(program)
        return Player(desktop, program)
    yield start
    if failed(request):
        keep_artefacts(request, desktop, programs)
    for program in programs:
        program.stop()


def keep_artefacts(request, desktop, programs):
    """Prints the programs' output and keeps a screenshot of the screen."""
    for program in programs:
        sys.stderr.write("\n--- output of %s (%s) ---\n%s\n"
                         % (program.log_name, describe(program), program.log()[-4000:]))
    path = os.path.abspath(re.sub(r"[^\w.-]+", "_", request.node.name) + "-failure.png")
    try:
        desktop.screenshot().save(path)
        sys.stderr.write("screenshot at the failure: %s\n" % path)
    except Exception as exc:
        sys.stderr.write("no screenshot: %s\n" % exc)


def describe(program):
    code = program.proc.poll()
    return "still running" if code is None else "ended with status %s" % code
