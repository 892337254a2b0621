# SPDX-License-Identifier: GPL-3.0-or-later
"""The main window closed from outside while one of its modal dialogs is open.

A name prompt and the match-end question block their owner: the close
request that the window manager passes on is turned down while either is
open, the dialog stays and the program keeps working. Closed again once the
dialog is answered, the window ends the program with status 0.
"""

import time

from player import FIRST_PROMPT, OPENER_WINS, OPEN_BOARD, SECOND_PROMPT


def refuse_close(player, dialog_open):
    """Requests the close; checks that the program lives on with the dialog shown."""
    player.desktop.request_close(player.program.main_wid)
    # The request's round trip through openbox takes milliseconds; a program
    # that acted on it would be gone or without its dialog by then.
    time.sleep(1.0)
    player.program.check_alive()
    assert dialog_open(), "the dialog is still open after the close request"
    assert player.program.main_window_rect() is not None, "the main window is still shown"


def test_close_requests_during_a_prompt_and_the_question_are_refused(start_tavrin, desktop):
    # Catches a close that ends the program from inside a dialog's modal
    # loop (a crash or a hang on the way out), or one that is kept and acted
    # on once the dialog is answered; the question is asked from inside the
    # handler of the fifth game's last move.
    player = start_tavrin()
    player.start_at_main_menu()
    player.press_play_now()
    player.wait_prompt(FIRST_PROMPT)
    refuse_close(player, lambda: player.prompt(FIRST_PROMPT) is not None)
    desktop.type_text("Ann")
    player.finish_prompt(FIRST_PROMPT, "Ann")
    player.answer_prompt(SECOND_PROMPT, "Ben")
    st = player.wait_state(lambda st: st.cells == OPEN_BOARD and st.label4 == "Ann", "the board after both names")
    assert (st.frame1, st.frame2) == ("Ann", "Ben")

    player.play_match_to_question()
    refuse_close(player, lambda: player.question() is not None)
    _, lines = player.read_question()
    assert lines[:2] == ["Ann VS Ben", "Ann wins the match."]
    player.answer_yes()
    st = player.wait_state(lambda st: st.cells == OPEN_BOARD and st.list1 == [], "a new match after Yes")
    assert st.label4 == "Ann"
    player.play(OPENER_WINS)
    st = player.wait_result("Ann", 1, "the new match's first game")
    assert (st.list1, st.list2) == (["1"], ["0"])
    assert st.cells == ["O", "X", "3", "O", "X", "6", "O", "8", "9"]

    desktop.request_close(player.program.main_wid)
    assert player.program.wait_exit(5) == 0, "exit status after closing the window"
