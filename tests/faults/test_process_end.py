# SPDX-License-Identifier: GPL-3.0-or-later
"""The program's end forced from outside: SIGTERM, and the X server going
away under it. Either way the process must be gone within moments, also
from inside a modal dialog's loop, and never hang on to a dead display."""

import os
import signal
import time

import pytest

from player import FIRST_PROMPT
from processes import describe_status

# Generous for a signal's default action or a broken connection's check.
END_WITHIN = 3.0


def on_the_splash(player):
    player.program.wait_splash()
    player.wait_for(player.splash, "the splash on the accessibility bus")


def on_the_main_menu(player):
    player.start_at_main_menu()


def in_a_name_prompt(player):
    player.start_at_main_menu()
    player.press_play_now()
    player.wait_prompt(FIRST_PROMPT)


def at_the_match_end_question(player):
    player.start_at_main_menu()
    player.play_now("Ann", "Ben")
    player.play_match_to_question()


PLACES = [on_the_splash, on_the_main_menu, in_a_name_prompt, at_the_match_end_question]


@pytest.mark.parametrize("reach", PLACES, ids=lambda f: f.__name__)
def test_sigterm_ends_the_program(start_tavrin, reach):
    # Catches SIGTERM caught and ignored, or held up by a modal loop.
    player = start_tavrin()
    reach(player)
    os.kill(player.program.pid, signal.SIGTERM)
    code = player.program.wait_exit(END_WITHIN)
    assert code in (0, -signal.SIGTERM), describe_status(code)


@pytest.mark.parametrize("reach", PLACES, ids=lambda f: f.__name__)
def test_the_x_server_gone_ends_the_program(start_tavrin, desktop, reach):
    # Catches a program that hangs on to a dead display, or crashes on the way out.
    player = start_tavrin()
    reach(player)
    desktop.kill_server()
    started = time.monotonic()
    code = player.program.wait_exit(END_WITHIN)
    # Ending is the point; a crash on the way (a signal) is a fault too.
    assert code >= 0, "ended by a signal (%s) %.1f s after the X server died\n%s" % (
        describe_status(code), time.monotonic() - started, player.program.log()[-2000:])
