"""Whole matches played from outside: wins, draws, the match-end question,
the popup menu and leaving the program."""

import re
import time

import tavrin_e2e as e2e
from tavrin_e2e import BARE_SPOT, CONTINUE, LIST1, PLAY_NOW, cell_rect, centre, red_fraction

OPEN_BOARD = [str(i) for i in range(1, 10)]
LAST_LINE = "Press YES to play again & NO to go to main menu."


def inner(rect, inset=3):
    """rect without its edges, which neighbouring cells overlap."""
    x, y, w, h = rect
    return (x + inset, y + inset, w - 2 * inset, h - 2 * inset)


class MatchTest(e2e.DesktopTestCase):

    # Steps of a game.

    def play_game(self, program, moves, first_mark, keys=()):
        """Plays cells in order, marks alternating from first_mark.

        keys: indexes into moves that are played by digit key, not click.
        """
        mark = first_mark
        st = None
        for n, cell in enumerate(moves):
            st = self.move(program, cell, mark, key=n in keys)
            mark = "X" if mark == "O" else "O"
        return st

    def wait_result(self, program, result, list1, list2, what):
        """Waits for the result screen: "WINNER", result, the score lists."""
        st = self.wait_state(program, lambda st: st.label2 == result and st.list1 == list1
                             and st.list2 == list2, what)
        self.assertEqual(st.label1, "WINNER")
        self.assertEqual(st.enabled, [False] * 9, "a finished board is frozen")
        return st

    def wait_red(self, program, cells, what):
        """Waits until exactly cells show a red face and no other cell has a red pixel."""
        def check(p):
            image = self.screenshot_client(p)
            fractions = [red_fraction(image, inner(cell_rect(i))) for i in range(9)]
            painted = [i for i, f in enumerate(fractions) if f > 0.3]
            stray = [i for i, f in enumerate(fractions) if 0 < f <= 0.3]
            return painted == sorted(cells) and not stray
        program.wait_for(check, what, timeout=5)

    def press_continue(self, program, to_move):
        self.click_client(program, centre(CONTINUE))
        st = self.wait_state(program, lambda st: st.cells == OPEN_BOARD and st.label1 is None,
                             "the board cleared by Continue")
        self.assertEqual(st.enabled, [True] * 9)
        self.assertIsNone(st.continue_, "Continue hides itself")
        self.assertIsNone(st.label2)
        self.assertEqual(st.label4, to_move, "who opens the next game")
        return st

    # The match-end question.

    def question(self, program):
        """The showing message box (a top level with Yes and No), or None."""
        for top in program.top_levels():
            names = {n.name.replace("&", "") for n in top.walk()
                     if n.role == "push button" and n.showing}
            if {"Yes", "No"} <= names:
                return top
        return None

    def read_question(self, program):
        box = program.wait_for(self.question, "the match-end question")
        self.assertEqual(box.name, "Tavrin", "title of the match-end question")
        texts = [n.name for n in box.walk() if n.role == "label" and n.showing and n.name]
        message = max(texts, key=len) if texts else ""
        return box, re.split("\r\n|\r|\n|\u2028", message)

    def answer_yes(self, program):
        self.desktop.key("Return")
        program.wait_for(lambda p: self.question(p) is None, "the question to close")

    def answer_no(self, program):
        """Moves the focus to No with Tab and presses it with Space."""
        for _ in range(4):
            box = program.wait_for(self.question, "the match-end question")
            focused = [n.name.replace("&", "") for n in box.walk()
                       if n.role == "push button" and n.focused]
            if focused == ["No"]:
                break
            self.desktop.key("Tab")
            time.sleep(0.1)
        else:
            self.fail("Tab never brings the focus to No")
        self.desktop.key("space")
        program.wait_for(lambda p: self.question(p) is None, "the question to close")

    # The popup menu.

    def popup_item(self, program, name):
        """The showing item called name of a showing popup menu, or None."""
        for menu in program.popup_menus():
            for n in menu.walk():
                if n.showing and n.name.replace("&", "") == name and n.role == "menu item":
                    return n
        return None

    def choose_from_popup(self, program, name):
        item = program.wait_for(lambda p: self.popup_item(p, name),
                                "the popup menu item %r" % name, timeout=5)
        x, y, w, h = item.extents
        self.desktop.click_at(x + w // 2, y + h // 2)

    # The scenarios.

    def test_two_matches_then_exit(self):
        # Catches a wrong match total or message, a box that does not take
        # real keys, red cells that outlive Continue, a Yes that does not
        # start afresh, an exit with a non-zero status, and a Play Now that
        # ignores Enter while it has the focus.
        program = self.start_program()
        self.skip_splash(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")
        self.play_now(program, "Alice", "Bob", key="Return")

        # Game 1: Alice wins the left column.
        self.play_game(program, [0, 1, 3, 4, 6], "O", keys={1})
        st = self.wait_result(program, "Alice", ["1"], ["0"], "Alice's win")
        self.assertEqual(st.continue_, "Continue")
        self.wait_red(program, [0, 3, 6], "the left column painted red")
        # A picture of a game for the documentation, in the build directory.
        self.screenshot_client(program).save("main-window.png")
        st = self.press_continue(program, "Bob")
        self.wait_red(program, [], "no red left after Continue")

        # Game 2: Bob wins the top row; Enter in the first score list continues.
        self.play_game(program, [0, 3, 1, 4, 2], "X", keys={2, 3})
        self.wait_result(program, "Bob", ["1", "0"], ["0", "1"], "Bob's win")
        self.wait_red(program, [0, 1, 2], "the top row painted red")
        list1 = centre(LIST1)
        self.click_client(program, (list1[0], LIST1[1] + LIST1[3] - 10))
        self.desktop.key("Return")
        st = self.wait_state(program, lambda st: st.cells == OPEN_BOARD and st.label1 is None,
                             "Enter in the first score list to clear the board")
        self.assertEqual(st.label4, "Alice")
        self.wait_red(program, [], "no red left after Enter in the list")

        # Game 3: a draw, played with digit keys.
        self.play_game(program, [4, 0, 2, 6, 3, 5, 7, 1, 8], "O", keys=set(range(9)))
        self.wait_result(program, "Draw", ["1", "0", "0"], ["0", "1", "0"], "the draw")
        self.wait_red(program, [], "a draw paints nothing")
        self.press_continue(program, "Bob")

        # Game 4: Bob wins the rising diagonal.
        self.play_game(program, [2, 0, 4, 1, 6], "X")
        self.wait_result(program, "Bob", ["1", "0", "0", "0"], ["0", "1", "0", "1"],
                         "Bob's second win")
        self.wait_red(program, [2, 4, 6], "the diagonal painted red")
        self.press_continue(program, "Alice")

        # Game 5: Alice wins the bottom row; 2 to 2 with a draw is a drawn match.
        self.play_game(program, [6, 0, 7, 1, 8], "O")
        box, lines = self.read_question(program)
        self.assertEqual(lines, ["Alice VS Bob", "Match draw.", "Alice secured  2",
                                 "Bob secured  2", LAST_LINE])
        st = self.state(program)
        self.assertIsNone(st.continue_, "Continue is never offered after the fifth game")
        self.assertEqual(st.label2, "Alice")
        self.assertEqual(len(st.list1), 5)
        self.answer_yes(program)

        st = self.wait_state(program, lambda st: st.cells == OPEN_BOARD and st.list1 == []
                             and st.list2 == [] and st.label1 is None,
                             "a new match after Yes")
        self.assertEqual(st.label4, "Alice", "the first player opens the new match")
        self.assertEqual((st.frame1, st.frame2), ("Alice", "Bob"))
        self.assertTrue(st.focused[0], "cell 1 holds the focus")
        self.wait_red(program, [], "no red left after Yes")

        # Second match: whoever starts plays the left column and wins.
        starters = ["Alice", "Bob", "Alice", "Bob", "Alice"]
        for game, starter in enumerate(starters):
            mark = "O" if starter == "Alice" else "X"
            self.play_game(program, [0, 1, 3, 4, 6], mark, keys={0, 1, 2, 3, 4})
            if game < 4:
                won = starters[:game + 1]
                self.wait_result(program, starter, ["1" if w == "Alice" else "0" for w in won],
                                 ["1" if w == "Bob" else "0" for w in won],
                                 "%s's win in game %d" % (starter, game + 1))
                self.press_continue(program, starters[game + 1])
        box, lines = self.read_question(program)
        self.assertEqual(lines, ["Alice VS Bob", "Alice wins the match.", "Alice secured  3",
                                 "Bob secured  2", LAST_LINE])
        self.answer_no(program)

        st = self.wait_state(program, lambda st: st.play_now == "Play Now",
                             "the main menu after No")
        self.assertEqual(st.showing_buttons, ["Play Now"])
        self.assertEqual(st.cells, [None] * 9)
        self.assertIsNone(st.frame1)

        # A right-click on a control opens nothing; on the bare window, the menu.
        self.click_client(program, centre(PLAY_NOW), button=3)
        time.sleep(0.5)
        self.assertIsNone(self.popup_item(program, "Exit Game"),
                          "no menu over a visible control")
        self.click_client(program, BARE_SPOT, button=3)
        self.choose_from_popup(program, "Exit Game")
        self.assertEqual(program.wait_exit(), 0, "exit status after Exit Game")

    def test_play_again_returns_to_the_main_menu(self):
        # Catches "Play Again" that keeps the scores or the board of the
        # abandoned match.
        program = self.start_program()
        self.skip_splash(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")
        self.play_now(program, "Ann", "Ben")
        self.play_game(program, [0, 1, 3, 4, 6], "O")
        self.wait_result(program, "Ann", ["1"], ["0"], "Ann's win")
        self.press_continue(program, "Ben")
        self.move(program, 4, "X")

        self.click_client(program, BARE_SPOT, button=3)
        self.choose_from_popup(program, "Play Again")
        st = self.wait_state(program, lambda st: st.play_now == "Play Now",
                             "the main menu after Play Again")
        self.assertEqual(st.showing_buttons, ["Play Now"])
        self.assertEqual(st.cells, [None] * 9)

        st = self.play_now(program, "Cid", "Dee")
        self.assertEqual((st.list1, st.list2), ([], []), "the old scores are gone")
        self.assertEqual(st.enabled, [True] * 9)
        self.wait_red(program, [], "no red on the new board")

        # Chosen on a won board, Play Again leaves Continue shown into the
        # next match, where it clears the board as after a finished game.
        self.play_game(program, [2, 0, 5, 1, 8], "O")
        self.wait_result(program, "Cid", ["1"], ["0"], "Cid's win")
        self.click_client(program, BARE_SPOT, button=3)
        self.choose_from_popup(program, "Play Again")
        st = self.wait_state(program, lambda st: st.play_now == "Play Now",
                             "the main menu after Play Again on a won board")
        self.assertEqual(st.showing_buttons, ["Continue", "Play Now"])
        st = self.play_now(program, "Eve", "Fay")
        self.assertEqual(st.continue_, "Continue")
        self.wait_red(program, [], "no red on the new board")
        self.move(program, 4, "O")
        self.press_continue(program, "Fay")

    def test_closing_the_window_ends_the_program(self):
        # Catches a close that only hides the main window and leaves the
        # program (and its hidden splash) running.
        program = self.start_program()
        self.skip_splash(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")
        self.play_now(program, "Ann", "Ben")
        self.move(program, 4, "O")
        self.desktop.key("alt+F4")
        self.assertEqual(program.wait_exit(), 0, "exit status after closing the window")


if __name__ == "__main__":
    e2e.run_tests()
