"""The program natively on Wayland, under a headless sway: the splash without
decoration, a whole match with real input, the popup menu, and the ways out.

The rules, the screens and the dialogs' texts are the same on every
platform and are proven on X11 (tests/e2e); these tests catch what only the
Wayland platform can get wrong: decoration, input reaching the right window,
a popup placed by the compositor, and the program's end.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import sway_desktop  # noqa: E402  (puts tests/e2e on the path)
import tavrin_e2e as e2e  # noqa: E402
import test_match  # noqa: E402
from tavrin_e2e import BARE_SPOT, SPLASH_SIZE  # noqa: E402

# The line the splash draws around its client area.
OWN_BORDER = 1


def differing_box(before, after):
    """The bounding box (left, top, right, bottom) of the pixels that differ."""
    from PIL import ImageChops
    return ImageChops.difference(before, after).getbbox()


class WaylandTest(e2e.DesktopTestCase):

    desktop_class = sway_desktop.SwayDesktop

    # A game's steps and the match-end question, as the match test takes them.
    play_game = test_match.MatchTest.play_game
    wait_result = test_match.MatchTest.wait_result
    wait_red = test_match.MatchTest.wait_red
    press_continue = test_match.MatchTest.press_continue
    question = test_match.MatchTest.question
    read_question = test_match.MatchTest.read_question
    answer_no = test_match.MatchTest.answer_no

    def popup_with(self, program, name):
        """(menu, item) of the showing popup menu with an item called name, or None."""
        for menu in program.popup_menus():
            for n in menu.walk():
                if n.showing and n.role == "menu item" and n.name.replace("&", "") == name:
                    return menu, n
        return None

    def test_splash_has_no_decoration_hands_over_and_closing_ends(self):
        # Catches a title bar or window buttons on the splash (drawn by Qt or
        # asked of the compositor), its border line missing, doubled or
        # misplaced, a frame click that does not reach it, and a close of the
        # main window that leaves the program running or fails it.
        program = self.start_program()
        wid, rect = program.wait_splash()
        program.splash_wid = wid
        view = self.desktop.views()[wid]
        # "csd": the window draws its own decoration, so sway draws none.
        self.assertIn(view["border"], ("csd", "none"), "sway's decoration of the splash")
        self.assertEqual(view["deco_rect"]["height"], 0, "a title bar from sway")
        self.assertEqual(rect[2:], (SPLASH_SIZE[0] + 2 * OWN_BORDER, SPLASH_SIZE[1] + 2 * OWN_BORDER),
                         "the splash's client area and its line")

        margin = 10
        x, y, w, h = rect
        shot = self.desktop.screenshot((x - margin, y - margin, w + 2 * margin, h + 2 * margin))
        outline = ([(margin + i, margin) for i in range(w)] + [(margin + i, margin + h - 1) for i in range(w)]
                   + [(margin, margin + j) for j in range(h)] + [(margin + w - 1, margin + j) for j in range(h)])
        self.assertEqual(len({shot.getpixel(p) for p in outline}), 1, "one colour all round the splash")
        line = shot.getpixel(outline[0])
        around = {shot.getpixel((i, j)) for i in range(w + 2 * margin) for j in range(h + 2 * margin)
                  if not (margin <= i < margin + w and margin <= j < margin + h)}
        self.assertEqual(around, {self.desktop.background},
                         "nothing drawn around the splash (a title bar, a shadow)")
        self.assertNotEqual(line, self.desktop.background, "the line stands out from the desktop")
        inside_top = [shot.getpixel((margin + i, margin + 1)) for i in range(1, w - 1)]
        self.assertLess(inside_top.count(line) / len(inside_top), 0.5, "a line one pixel wide")

        self.skip_splash(program)
        program.wait_for(lambda p: not self.desktop.is_viewable(p.splash_wid), "the splash to go",
                         timeout=2)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")

        self.desktop.close_window(program.main_wid)
        self.assertEqual(program.wait_exit(), 0, "exit status after closing the window")

    def test_match_with_real_input_then_exit_game(self):
        # Catches typed names, clicks or digit keys that do not reach the
        # prompts, the cells or the match-end question on Wayland, a red line
        # that does not show, a popup menu away from the pointer, and an Exit
        # Game that fails the program.
        program = self.start_program()
        self.skip_splash(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")
        self.play_now(program, "Alice", "Bob")

        # Game 1 by clicks and a digit key: Alice wins the left column.
        self.play_game(program, [0, 1, 3, 4, 6], "O", keys={1})
        self.wait_result(program, "Alice", ["1"], ["0"], "Alice's win")
        self.wait_red(program, [0, 3, 6], "the left column painted red")
        self.press_continue(program, "Bob")

        # Games 2 to 5 by digit keys: whoever opens wins the left column.
        starters = ["Bob", "Alice", "Bob", "Alice"]
        for game, starter in enumerate(starters):
            self.play_game(program, [0, 1, 3, 4, 6], "O" if starter == "Alice" else "X",
                           keys={0, 1, 2, 3, 4})
            if game < len(starters) - 1:
                self.wait_result(program, starter, ["1", "0", "1", "0"][:game + 2],
                                 ["0", "1", "0", "1"][:game + 2], "%s's win" % starter)
                self.press_continue(program, starters[game + 1])
        box, lines = self.read_question(program)
        self.assertEqual(lines[:2], ["Alice VS Bob", "Alice wins the match."])
        self.answer_no(program)
        self.wait_state(program, lambda st: st.showing_buttons == ["Play Now"],
                        "the main menu after No")

        # The popup menu opens with its corner at the pointer. The menu's own
        # idea of where it is may differ from the compositor's; what the
        # screen shows does not.
        x, y = program.origin()
        spot = (x + BARE_SPOT[0], y + BARE_SPOT[1])
        self.desktop.move_to(*spot)
        before = self.desktop.screenshot()
        self.desktop.click_at(*spot, button=3)
        menu, item = program.wait_for(lambda p: self.popup_with(p, "Exit Game"), "the popup menu")
        shown = program.wait_for(lambda p: differing_box(before, self.desktop.screenshot()),
                                 "the popup menu on the screen")
        self.assertLessEqual(abs(shown[0] - spot[0]) + abs(shown[1] - spot[1]), 2,
                             "the menu's corner %s at the pointer %s" % (shown[:2], spot))
        ix, iy, iw, ih = item.extents
        self.desktop.click_at(shown[0] + ix - menu.extents[0] + iw // 2,
                              shown[1] + iy - menu.extents[1] + ih // 2)
        self.assertEqual(program.wait_exit(), 0, "exit status after Exit Game")


if __name__ == "__main__":
    e2e.run_tests()
