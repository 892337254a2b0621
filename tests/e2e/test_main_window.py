"""The main window from outside: its place, its main menu, Play Now and moves."""

import tavrin_e2e as e2e
from tavrin_e2e import MAIN_POS, MAIN_SIZE, PLAY_NOW, cell_rect

OPEN_BOARD = [str(i) for i in range(1, 10)]


def background_run(image, y, x0, x1, bg):
    """True when every pixel of row y from x0 to x1 has the colour bg."""
    return all(image.getpixel((x, y)) == bg for x in range(x0, x1))


class MainWindowTest(e2e.DesktopTestCase):

    def test_window_lands_at_its_place_showing_only_play_now(self):
        # Catches a window placed by its frame instead of its client area,
        # or a control shown too early on the main menu.
        program = self.start_program()
        rect = self.skip_splash(program)
        self.assertEqual(rect, MAIN_POS + MAIN_SIZE, "client area of the main window")

        st = self.wait_state(program, lambda st: st.play_now == "Play Now",
                             "Play Now on the main menu")
        self.assertEqual(st.showing_buttons, ["Play Now"])
        self.assertEqual(st.cells, [None] * 9)
        for name in ("label1", "label2", "label3", "label4", "frame1", "frame2",
                     "continue_"):
            self.assertIsNone(getattr(st, name), "%s is hidden on the main menu" % name)
        self.assertIsNone(st.list1)
        self.assertIsNone(st.list2)
        button = st.window.find_all(role="push button", name="Play Now")[0]
        self.assertEqual(button.rel, PLAY_NOW, "Play Now's place in the window")
        self.assertTrue(button.focused, "Play Now holds the focus")

    def test_play_now_shows_the_board_and_moves_write_marks(self):
        # Catches prompts that lose the typed names, a board that does not
        # replace Play Now, and digit keys that play the focused cell
        # instead of their own.
        program = self.start_program()
        self.skip_splash(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")
        before = self.screenshot_client(program)
        bg = before.getpixel(e2e.BARE_SPOT)
        # Play Now's top edge crosses the empty band between Label4 and the board.
        self.assertFalse(background_run(before, PLAY_NOW[1], 160, 290, bg),
                         "Play Now's top edge is drawn")

        st = self.play_now(program, "Alice", "Bob")
        self.assertIsNone(st.play_now, "Play Now is gone")
        self.assertEqual(st.frame1, "Alice")
        self.assertEqual(st.frame2, "Bob")
        self.assertEqual(st.label3, "Current Player")
        self.assertEqual(st.label4, "Alice")
        self.assertEqual(st.enabled, [True] * 9)
        self.assertEqual((st.list1, st.list2), ([], []), "both score lists empty")
        self.assertIsNone(st.label1)
        self.assertIsNone(st.continue_)

        after = self.screenshot_client(program)
        self.assertTrue(background_run(after, PLAY_NOW[1], 160, 290, bg),
                        "Play Now's edge is gone from the screen")
        for i in range(9):
            x, y, w, h = cell_rect(i)
            cell = after.crop((x, y, x + w, y + h))
            drawn = sum(1 for px in cell.getdata() if px != bg)
            self.assertGreater(drawn, w * h // 20, "cell %d is drawn" % i)

        st = self.move(program, 4, "O")
        self.assertFalse(st.enabled[4], "a taken cell is disabled")
        self.wait_state(program, lambda st: st.label4 == "Bob", "the turn to pass to Bob")

        # Digit keys play their own cell whichever open cell has the focus.
        self.move(program, 0, "X", key=True)
        self.wait_state(program, lambda st: st.label4 == "Alice", "the turn back to Alice")
        st = self.move(program, 8, "O", key=True)
        self.wait_state(program, lambda st: st.label4 == "Bob", "the turn to pass to Bob")

        # A taken cell's key and "0" change nothing; the next real move shows
        # that they were read and ignored.
        self.focus_a_cell(program)
        self.desktop.key("5", "0", "1")
        st = self.move(program, 2, "X")
        self.assertEqual(st.cells, ["X", "2", "X", "4", "O", "6", "7", "8", "O"])
        st = self.wait_state(program, lambda st: st.label4 == "Alice", "Alice to move")
        self.assertEqual(st.enabled, [False, True, False, True, False, True, True, True, False])

        # Enter on a cell clears the board in mid-game and keeps the turn.
        self.focus_a_cell(program)
        self.desktop.key("Return")
        st = self.wait_state(program, lambda st: st.cells == OPEN_BOARD, "the board cleared")
        self.assertEqual(st.enabled, [True] * 9)
        self.assertEqual(st.label4, "Alice")
        self.assertEqual((st.list1, st.list2), ([], []))
        self.assertIsNone(st.continue_)


if __name__ == "__main__":
    e2e.run_tests()
