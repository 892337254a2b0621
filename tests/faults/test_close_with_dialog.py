"""The main window closed from outside while one of its modal dialogs is open.

A name prompt and the match-end question block their owner: the close
request that the window manager passes on is turned down while either is
open, the dialog stays and the program keeps working. Closed again once the
dialog is answered, the window ends the program with status 0.
"""

import time

import faults
from faults import OPEN_BOARD


class CloseWithDialogTest(faults.FaultTestCase):

    def refused_close(self, program, still_open):
        """Requests the close; checks the program lives on with the dialog shown."""
        self.request_close(program)
        # The request's round trip through openbox takes milliseconds; a
        # program that acted on it would be gone or without its dialog by then.
        time.sleep(1.0)
        program.check_alive()
        self.assertTrue(still_open(program), "the dialog is still open after the close request")
        self.assertIsNotNone(program.main_window_rect(), "the main window is still shown")

    def test_close_during_a_name_prompt_is_refused_and_play_goes_on(self):
        # Catches a close that ends the program from inside the prompt's
        # modal loop (a crash or a hang on the way out), or one that is kept
        # and acted on once the prompt is answered.
        program = self.start_at_main_menu()
        self.click_client(program, faults.centre(faults.e2e.PLAY_NOW))
        first = "Enter name of first player"
        self.wait_prompt(program, first)
        self.refused_close(program, lambda p: self.prompt_field(p, first) is not None)

        self.desktop.type_text("Ann")
        program.wait_for(lambda p: faults.e2e.text_of(self.prompt_field(p, first)[1]) == "Ann",
                         "the first name typed after the close request")
        self.desktop.key("Return")
        self.answer_prompt(program, "Enter name of second player", "Ben")
        st = self.wait_state(program, lambda st: st.cells == OPEN_BOARD and st.label4 == "Ann",
                             "the board after both names")
        self.assertEqual((st.frame1, st.frame2), ("Ann", "Ben"))
        self.move(program, 4, "O")
        self.wait_state(program, lambda st: st.label4 == "Ben", "the turn to pass to Ben")

        self.request_close(program)
        self.assert_exits(program, 0, 5, "closing the window after the prompt")

    def test_close_during_the_match_end_question_is_refused_and_play_goes_on(self):
        # Catches the same at the end of a match, where the question is
        # asked from inside the handler of the fifth game's last move.
        program = self.start_at_main_menu()
        self.play_now(program, "Ann", "Ben")
        self.play_match_to_question(program)
        self.refused_close(program, lambda p: self.question(p) is not None)

        _, lines = self.read_question(program)
        self.assertEqual(lines[:2], ["Ann VS Ben", "Ann wins the match."])
        self.answer_yes(program)
        st = self.wait_state(program, lambda st: st.cells == OPEN_BOARD and st.list1 == [],
                             "a new match after Yes")
        self.assertEqual(st.label4, "Ann")
        self.play_won_game(program, 0, "the new match's first game")
        st = self.state(program)
        self.assertEqual((st.label2, st.list1, st.list2), ("Ann", ["1"], ["0"]))
        self.assertEqual(st.cells, ["O", "X", "3", "O", "X", "6", "O", "8", "9"])

        self.request_close(program)
        self.assert_exits(program, 0, 5, "closing the window after the question")


if __name__ == "__main__":
    faults.run_tests()
