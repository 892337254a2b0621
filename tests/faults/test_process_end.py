"""The program's end forced from outside: SIGTERM, and the X server going
away under it. Either way the process must be gone within moments, also
from inside a modal dialog's loop, and never hang on to a dead display."""

import os
import signal
import time

import faults

# Generous for a signal's default action or a broken connection's check.
END_WITHIN = 3.0


class ProcessEndTest(faults.FaultTestCase):

    def at_the_splash(self):
        program = self.start_program()
        program.wait_splash()
        return program

    def at_the_main_menu(self):
        return self.start_at_main_menu()

    def in_a_name_prompt(self):
        program = self.start_at_main_menu()
        self.click_client(program, faults.centre(faults.e2e.PLAY_NOW))
        self.wait_prompt(program, "Enter name of first player")
        return program

    def at_the_match_end_question(self):
        program = self.start_at_main_menu()
        self.play_now(program, "Ann", "Ben")
        self.play_match_to_question(program)
        return program

    def sigterm(self, program, where):
        os.kill(program.pid, signal.SIGTERM)
        self.assert_exits(program, (0, -signal.SIGTERM), END_WITHIN, "SIGTERM " + where)

    def kill_x_server(self, program, where):
        """Kills Xvfb (and so openbox) outright; the program must end by itself."""
        display, self.desktop.xlib = self.desktop.xlib, None
        os.killpg(self.desktop.xvfb.pid, signal.SIGKILL)
        self.desktop.xvfb.wait(timeout=5)
        try:
            display.close()
        except Exception:
            pass
        started = time.monotonic()
        code = None
        while time.monotonic() - started < END_WITHIN and code is None:
            code = program.proc.poll()
            time.sleep(0.02)
        if code is None:
            self.fail("the program still runs %.1f s after the X server died %s\n%s"
                      % (END_WITHIN, where, program.log()[-2000:]))
        # Ending is the point; a crash on the way (a signal) is a fault too.
        self.assertGreaterEqual(code, 0, "the program ended by a signal (%s) %s\n%s"
                                % (faults.describe_status(code), where, program.log()[-2000:]))

    # SIGTERM: the default action, not caught, not blocked by a modal loop.

    def test_sigterm_on_the_splash(self):
        self.sigterm(self.at_the_splash(), "on the splash")

    def test_sigterm_on_the_main_menu(self):
        self.sigterm(self.at_the_main_menu(), "on the main menu")

    def test_sigterm_in_a_name_prompt(self):
        self.sigterm(self.in_a_name_prompt(), "in a name prompt")

    def test_sigterm_at_the_match_end_question(self):
        self.sigterm(self.at_the_match_end_question(), "at the match-end question")

    # The X server killed: the connection's loss ends the program.

    def test_x_server_gone_on_the_splash(self):
        self.kill_x_server(self.at_the_splash(), "on the splash")

    def test_x_server_gone_on_the_main_menu(self):
        self.kill_x_server(self.at_the_main_menu(), "on the main menu")

    def test_x_server_gone_in_a_name_prompt(self):
        self.kill_x_server(self.in_a_name_prompt(), "in a name prompt")

    def test_x_server_gone_at_the_match_end_question(self):
        self.kill_x_server(self.at_the_match_end_question(), "at the match-end question")


if __name__ == "__main__":
    faults.run_tests()
