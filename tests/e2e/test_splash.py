"""The splash window from outside: its place, its timer and its frame."""

import time

import tavrin_e2e as e2e
from tavrin_e2e import MAIN_SIZE, SCREEN_H, SCREEN_W, SPLASH_FRAME, SPLASH_SIZE


class SplashTest(e2e.DesktopTestCase):

    def open_splash(self, program):
        """Waits for the splash; returns (its client rect, when it was first seen)."""
        wid, rect = program.wait_splash()
        seen = time.monotonic()
        program.splash_wid = wid
        self.assertEqual(rect[2:], SPLASH_SIZE, "client area of the splash")
        return rect, seen

    def assert_splash_only(self, program, why):
        self.assertTrue(self.desktop.is_viewable(program.splash_wid), "splash shown: " + why)
        self.assertIsNone(program.main_window_rect(), "no main window yet: " + why)

    def wait_splash_gone(self, program):
        program.wait_for(lambda p: not self.desktop.is_viewable(p.splash_wid),
                         "the splash to disappear", timeout=2)

    def test_splash_is_centred_and_hands_over_on_the_sixth_tick(self):
        # Catches a hand-over on the fifth tick (a count compared after the
        # increment), a splash placed by the window manager, and keys or a
        # close request that end the splash early.
        program = self.start_program()
        rect, seen = self.open_splash(program)
        self.assertLessEqual(abs(rect[0] + rect[2] / 2 - SCREEN_W / 2), 2, "centred across")
        self.assertLessEqual(abs(rect[1] + rect[3] / 2 - SCREEN_H / 2), 2, "centred down")

        time.sleep(0.5)
        self.desktop.key("Escape", "Return", "space", "alt+F4")
        time.sleep(1.0)
        program.check_alive()
        self.assert_splash_only(program, "keys and a close request do nothing")

        main = program.wait_main_window(timeout=9)
        elapsed = time.monotonic() - seen
        self.assertGreaterEqual(elapsed, 5.0, "the main window came before the sixth tick")
        self.assertLessEqual(elapsed, 7.0, "the main window came after the sixth tick")
        self.assertEqual(main[2:], MAIN_SIZE)
        self.wait_splash_gone(program)
        st = self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")
        self.assertEqual(st.showing_buttons, ["Play Now"])

    def test_frame_click_hands_over_at_once_and_labels_do_not(self):
        # Catches a click handler on the whole splash rather than its frame,
        # and a sixth tick that brings the splash back or opens a second
        # main window.
        program = self.start_program()
        rect, seen = self.open_splash(program)
        spot = self.splash_frame_spot(program, rect)

        def splash_node(name):
            for top in program.top_levels():
                for n in top.walk():
                    if n.showing and n.name == name and n.role == "label":
                        return n
            return None
        title = program.wait_for(lambda p: splash_node("Tavrin"), "the splash's product name")
        x, y, w, h = title.rel
        self.desktop.click_at(rect[0] + x + w // 2, rect[1] + y + h // 2)
        # The logo, and the strip of the window left of the frame.
        self.desktop.click_at(rect[0] + SPLASH_FRAME[0] + 8 + 64, rect[1] + 61 + 71)
        self.desktop.click_at(rect[0] + SPLASH_FRAME[0] // 2, rect[1] + 135)
        time.sleep(1.0)
        program.check_alive()
        self.assert_splash_only(program, "clicks on a label, the logo or the border")

        self.desktop.click_at(*spot)
        main = program.wait_main_window(timeout=1.5)
        self.assertLess(time.monotonic() - seen, 5.0, "the click, not the timer, handed over")
        self.assertEqual(main[2:], MAIN_SIZE)
        self.wait_splash_gone(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")

        # Past the sixth tick nothing changes on screen.
        time.sleep(max(0.0, seen + 6.8 - time.monotonic()))
        program.check_alive()
        self.assertFalse(self.desktop.is_viewable(program.splash_wid), "the splash stays hidden")
        mains = [geo for geo in program.windows().values() if geo[2:] == MAIN_SIZE]
        self.assertEqual(len(mains), 1, "one main window")
        st = self.state(program)
        self.assertEqual(st.showing_buttons, ["Play Now"])


if __name__ == "__main__":
    e2e.run_tests()
