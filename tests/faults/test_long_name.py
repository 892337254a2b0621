"""A name of a million characters, pasted into the real prompt, through a
whole match and its closing question: the program stays responsive and
shows the name, or the part of it that fits, as the plain text typed."""

import os
import subprocess
import time

import faults
from faults import OPEN_BOARD, busy_share

# Markup, a mnemonic marker and letters beyond Latin-1 up front, where every
# control shows the name from; all of it in the Basic Multilingual Plane, so
# that Python and Qt count the same characters.
HEAD = "<b>Zo\u00eb</b> & <img src=x> "
NAME = (HEAD + "\u03a9mega-" * 200000)[:1000000]
SECOND = "Bob"
# Controls and the accessibility bus give a long name from its start, this long.
SHOWN = 4096
LAST_LINE = "Press YES to play again & NO to go to main menu."
ELLIPSIS = "\u2026"

# Share of one processor the idle program may use while the name is shown;
# an idle program uses next to nothing, one repainting the whole name in a
# loop all of it.
IDLE_BUSY = 0.3
# Seconds a game (five clicks and the result) may take.
GAME_WITHIN = 5.0


class LongNameTest(faults.FaultTestCase):

    def put_on_clipboard(self, text):
        """Makes xclip own the clipboard with text, serving it until the test ends."""
        path = os.path.join(self.workdir, "name.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        log = open(os.path.join(self.workdir, "xclip.log"), "wb")
        xclip = faults.e2e._spawn(
            ["xclip", "-quiet", "-selection", "clipboard", "-target", "UTF8_STRING", "-in", path],
            stdout=log, stderr=subprocess.STDOUT, env=self.desktop.child_env())
        log.close()
        self.addCleanup(faults.e2e._stop_group, xclip)

        def owned():
            if xclip.poll() is not None:
                raise faults.E2EError("xclip exited with status %s" % xclip.returncode)
            done = faults.e2e._run(["xclip", "-selection", "clipboard", "-out",
                                    "-target", "TARGETS"], check=False)
            return done.returncode == 0 and "UTF8_STRING" in done.stdout
        faults.e2e.wait_until(owned, "xclip to own the clipboard")

    def assert_idle(self, program, where):
        time.sleep(1.0)  # the last repaint and accessibility notices settle
        share = busy_share(program.pid, 2.0)
        self.idle_shares.append("%.0f%% %s" % (100 * share, where))
        self.assertLess(share, IDLE_BUSY, "the program keeps %.0f%% of a processor busy %s"
                        % (100 * share, where))

    def assert_shows_name(self, shown, what):
        self.assertIsNotNone(shown, what + " is shown")
        self.assertEqual(shown, NAME[:SHOWN], what + " holds the name's start as typed")

    def assert_shortened_name_line(self, line, rest, what):
        """A line of the question that starts with the name, shortened in its
        middle, and keeps its own end (the second name, the totals)."""
        self.assertTrue(line.endswith(rest), "%s keeps its end %r: %r" % (what, rest, line))
        head, ellipsis, tail = line[:-len(rest)].partition(ELLIPSIS)
        self.assertEqual(ellipsis, ELLIPSIS, "%s shortens the name: %r" % (what, line))
        self.assertTrue(head.startswith(HEAD) and NAME.startswith(head),
                        "%s starts with the name as typed: %r" % (what, line))
        self.assertTrue(NAME.endswith(tail), "%s ends the name as typed: %r" % (what, line))

    def test_million_character_name_through_a_whole_match(self):
        # Catches a prompt that cuts the name, controls that read it as
        # markup or a mnemonic, a message box that grows off the screen or
        # loses the totals behind the name, and a program frozen by laying
        # the name out over and over.
        self.idle_shares = []
        program = self.start_at_main_menu()
        self.put_on_clipboard(NAME)
        self.click_client(program, faults.centre(faults.e2e.PLAY_NOW))
        first = "Enter name of first player"
        self.wait_prompt(program, first)
        started = time.monotonic()
        self.desktop.key("ctrl+v")

        def pasted(p):
            field = self.prompt_field(p, first)
            return field is not None and field[1].acc.queryText().characterCount == len(NAME)
        program.wait_for(pasted, "the name pasted whole into the prompt", timeout=30)
        paste_time = time.monotonic() - started
        field = self.prompt_field(program, first)[1]
        self.assertEqual(faults.e2e.text_of(field), NAME, "the prompt holds the pasted name")
        self.assert_idle(program, "with the name in the prompt")

        self.desktop.key("Return")
        self.answer_prompt(program, "Enter name of second player", SECOND)
        st = self.wait_state(program, lambda st: st.cells == OPEN_BOARD and st.label4 is not None,
                             "the board after both names")
        self.assert_shows_name(st.frame1, "the first frame's caption")
        self.assert_shows_name(st.label4, "the player to move")
        self.assertEqual(st.frame2, SECOND)
        self.assert_idle(program, "with the name on the board")

        # Five games, each won by the player who opens it.
        game_times = []
        for game in range(4):
            started = time.monotonic()
            st = self.play_won_game(program, game, "game %d" % (game + 1))
            game_times.append(time.monotonic() - started)
            winner_is_first = game % 2 == 0
            if winner_is_first:
                self.assert_shows_name(st.label2, "the winner of game %d" % (game + 1))
            else:
                self.assertEqual(st.label2, SECOND)
                self.assert_shows_name(st.label4, "the player to move after game %d" % (game + 1))
            self.press_continue(program)
        started = time.monotonic()
        self.play_won_game(program, 4, "game 5")
        game_times.append(time.monotonic() - started)
        for game, took in enumerate(game_times):
            self.assertLess(took, GAME_WITHIN, "game %d took %.1f s" % (game + 1, took))

        box, lines = self.read_question(program)
        self.assertEqual(len(lines), 5, "the question's lines: %r" % lines)
        self.assert_shortened_name_line(lines[0], " VS " + SECOND, "the question's first line")
        self.assert_shortened_name_line(lines[1], " wins the match.", "the question's second line")
        self.assert_shortened_name_line(lines[2], " secured  3", "the question's third line")
        self.assertEqual(lines[3:], [SECOND + " secured  2", LAST_LINE])
        x, y, w, h = box.extents
        self.assertTrue(0 <= x and x + w <= faults.e2e.SCREEN_W and 0 <= y
                        and y + h <= faults.e2e.SCREEN_H,
                        "the question fits on the screen: %r" % (box.extents,))
        self.assert_idle(program, "with the question open")

        self.answer_no(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu after No")
        self.open_popup_and_choose(program, "Exit Game")
        self.assert_exits(program, 0, 5, "Exit Game after the match")
        print("\npaste %.1f s; games %s s; busy while idle: %s"
              % (paste_time, ", ".join("%.1f" % t for t in game_times), "; ".join(self.idle_shares)))


if __name__ == "__main__":
    faults.run_tests()
