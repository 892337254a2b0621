# SPDX-License-Identifier: GPL-3.0-or-later
"""One match played on the real program with real clicks and keys, read back
over the accessibility bus and from the screen: the wiring from input to the
rules and back to the screen. The rules themselves are proven in tests/game
and the widgets in tests/ui."""

from player import OPENER_WINS, OPEN_BOARD

LAST_LINE = "Press YES to play again & NO to go to main menu."


def test_a_match_with_real_input_then_play_again_and_exit_game(start_tavrin, desktop):
    # Catches clicks, digit keys or Enter that do not reach the cells, Play
    # Now or the first score list; a red line that the screen does not show
    # or that outlives Continue; a match-end question that is not a real
    # dialog titled Tavrin or does not take real keys; a popup menu that does
    # not open on the bare window or opens over a control; and an Exit Game
    # that ends the program with a status other than 0.
    player = start_tavrin()
    player.start_at_main_menu()
    player.play_now("Alice", "Bob", key="Return")

    # Game 1 by clicks and a digit key: Alice wins the left column.
    player.move(0, "O")
    player.move(1, "X", key=True)
    player.play([3, 4, 6])
    st = player.wait_result("Alice", 1, "Alice's win")
    assert (st.list1, st.list2, st.continue_) == (["1"], ["0"], "Continue")
    assert st.enabled == [False] * 9, "a finished board is frozen"
    player.wait_red([0, 3, 6], "the left column painted red")
    # A picture of a game for the documentation, in the build directory.
    player.screenshot_window().save("main-window.png")
    assert player.press_continue().label4 == "Bob", "the loser opens the next game"
    player.wait_red([], "no red left after Continue")

    # Game 2 by digit keys: Bob wins the top row; Enter in the first score
    # list clears the board.
    player.play_by_keys([0, 3, 1, 4, 2])
    st = player.wait_result("Bob", 2, "Bob's win")
    player.click(st.controls["List1"])
    desktop.key("Return")
    st = player.wait_state(lambda st: st.cells == OPEN_BOARD and st.label1 is None,
                           "Enter in the first score list to clear the board")
    assert st.label4 == "Alice"
    player.wait_red([], "no red left after Enter in the list")

    # Game 3: a draw paints nothing.
    player.play([4, 0, 2, 6, 3, 5, 7, 1, 8])
    player.wait_result("Draw", 3, "the draw")
    assert player.red_cells() == []
    player.press_continue()

    # Game 4: Bob wins the rising diagonal; game 5: Alice the bottom row.
    player.play([2, 0, 4, 1, 6])
    player.wait_result("Bob", 4, "Bob's second win")
    player.wait_red([2, 4, 6], "the diagonal painted red")
    player.press_continue()
    player.play([6, 0, 7, 1, 8])
    box, lines = player.read_question()
    assert lines == ["Alice VS Bob", "Match draw.", "Alice secured  2", "Bob secured  2", LAST_LINE]
    assert box.name == "Tavrin" and player.dialog_titles() == ["Tavrin"], "the question's title"
    st = player.state()
    assert (st.continue_, st.label2, len(st.list1)) == (None, "Alice", 5)

    player.answer_yes()
    st = player.wait_state(lambda st: st.cells == OPEN_BOARD and st.list1 == [] and st.label1 is None,
                           "a new match after Yes")
    assert (st.label4, st.frame1, st.frame2) == ("Alice", "Alice", "Bob")
    assert st.focused[0], "cell 1 holds the focus"
    player.wait_red([], "no red left after Yes")

    # A right-click on a control opens nothing; on the bare window, the menu.
    player.click(st.cell_nodes[4], button=3)
    player.wait_state(lambda st: True, "the window after the right-click")
    assert player.popup_item("Play Again") is None, "no menu over a control"

    # Play Again on a won board leaves Continue shown into the next match.
    player.play(OPENER_WINS)
    player.wait_result("Alice", 1, "Alice's win in the new match")
    player.choose_from_popup("Play Again")
    player.wait_state(lambda st: st.buttons == ["Continue", "Play Now"] and st.cells == [None] * 9,
                      "the main menu with Continue")
    st = player.play_now("Cid", "Dee")
    assert (st.continue_, st.list1, st.list2) == ("Continue", [], [])
    player.wait_red([], "no red on the new match's board")
    player.move(4, "O")
    assert player.press_continue().label4 == "Dee"
    player.move(4, "X")
    player.choose_from_popup("Exit Game")
    assert player.program.wait_exit() == 0, "exit status after Exit Game during a game"
