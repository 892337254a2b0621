"""The popup menu's Exit Game, chosen at every screen of the main window,
ends the program at once with status 0."""

import faults
from faults import OPEN_BOARD

EXIT_WITHIN = 5.0


class ExitGameTest(faults.FaultTestCase):

    def exit_game(self, program, where):
        self.open_popup_and_choose(program, "Exit Game")
        self.assert_exits(program, 0, EXIT_WITHIN, "Exit Game " + where)

    def test_on_the_main_menu(self):
        # Catches an exit that waits for a window that was never shown.
        program = self.start_at_main_menu()
        self.exit_game(program, "on the main menu")

    def test_during_a_game(self):
        # Catches an exit that asks first, or that leaves the hidden splash
        # window holding the program open.
        program = self.start_at_main_menu()
        self.play_now(program, "Ann", "Ben")
        self.move(program, 4, "O")
        self.exit_game(program, "during a game")

    def test_on_the_result_of_a_game(self):
        # Catches an exit that trips over the finished board's frozen cells
        # or the shown Continue.
        program = self.start_at_main_menu()
        self.play_now(program, "Ann", "Ben")
        st = self.play_won_game(program, 0, "the first game")
        self.assertEqual(st.continue_, "Continue")
        self.exit_game(program, "on a game's result")

    def test_on_the_main_menu_with_continue_after_play_again(self):
        # Catches an exit that trips over the left-over Continue of an
        # abandoned match, on the main menu and in the next match.
        program = self.start_at_main_menu()
        self.play_now(program, "Ann", "Ben")
        self.play_won_game(program, 0, "the first game")
        self.open_popup_and_choose(program, "Play Again")
        st = self.wait_state(program, lambda st: st.play_now == "Play Now",
                             "the main menu after Play Again")
        self.assertEqual(st.showing_buttons, ["Continue", "Play Now"])
        self.exit_game(program, "on the main menu with Continue")

    def test_in_a_match_begun_with_continue_shown(self):
        program = self.start_at_main_menu()
        self.play_now(program, "Ann", "Ben")
        self.play_won_game(program, 0, "the first game")
        self.open_popup_and_choose(program, "Play Again")
        self.wait_state(program, lambda st: st.play_now == "Play Now",
                        "the main menu after Play Again")
        st = self.play_now(program, "Cid", "Dee")
        self.assertEqual((st.continue_, st.cells), ("Continue", OPEN_BOARD))
        self.exit_game(program, "in a match begun with Continue shown")


if __name__ == "__main__":
    faults.run_tests()
