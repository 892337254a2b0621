"""What the fault tests share: the end-to-end harness of tests/e2e (the
desktop, the program, the player's steps and the match steps of its match
test), plus the few steps only these tests take: a window manager's close
request, whole games in one burst of clicks, the exit status with a time
limit and the program's processor time.
"""

import os
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "e2e"))

import tavrin_e2e as e2e  # noqa: E402
import test_match  # noqa: E402
from tavrin_e2e import BARE_SPOT, CONTINUE, cell_rect, centre  # noqa: E402

OPEN_BOARD = [str(i) for i in range(1, 10)]
# The player who opens the game takes the left column and wins.
LEFT_COLUMN_WIN = [0, 1, 3, 4, 6]

run_tests = e2e.run_tests
E2EError = e2e.E2EError


class FaultTestCase(e2e.DesktopTestCase):
    """A desktop per test, the player's steps, and the steps of faults."""

    # The match-end question and the popup menu, as the match test reads and
    # answers them.
    question = test_match.MatchTest.question
    read_question = test_match.MatchTest.read_question
    answer_yes = test_match.MatchTest.answer_yes
    answer_no = test_match.MatchTest.answer_no
    popup_item = test_match.MatchTest.popup_item
    choose_from_popup = test_match.MatchTest.choose_from_popup

    def start_at_main_menu(self, program=None):
        """Starts the program (or program, made but not started), skips the splash."""
        if program is None:
            program = self.start_program()
        else:
            self.programs.append(program)
            program.start()
        self.skip_splash(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")
        return program

    def prompt_field(self, program, prompt):
        """(top level, text field) of the showing name prompt saying prompt, or None."""
        top = self.find_top_level(program, prompt)
        if top is None:
            return None
        edits = [n for n in top.walk() if n.role in ("text", "entry") and n.showing]
        return (top, edits[0]) if edits else None

    def wait_prompt(self, program, prompt):
        """Waits until the prompt is shown with its text field focused."""
        def focused(p):
            found = self.prompt_field(p, prompt)
            return found if found is not None and found[1].focused else None
        return program.wait_for(focused, "the prompt %r with its field focused" % prompt)

    def request_close(self, program, wid=None):
        """Asks the window manager to close the main window (or window wid),
        as its title bar's close button does: openbox then sends the window
        WM_DELETE_WINDOW."""
        from Xlib import X, protocol
        display = self.desktop.xlib
        if wid is None:
            wid = program.main_wid
            if wid is None:
                program.main_window_rect()
                wid = program.main_wid
        self.assertIsNotNone(wid, "the main window's id")
        window = display.create_resource_object("window", wid)
        # Source 2: a pager or taskbar, which the window manager obeys at once.
        event = protocol.event.ClientMessage(
            window=window, client_type=display.intern_atom("_NET_CLOSE_WINDOW"),
            data=(32, [X.CurrentTime, 2, 0, 0, 0]))
        display.screen().root.send_event(
            event, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        display.sync()

    def click_cells(self, program, cells):
        """Clicks the cells one after the other in a single burst."""
        x0, y0 = program.origin()
        args = ["xdotool"]
        for cell in cells:
            x, y = centre(cell_rect(cell))
            args += ["mousemove", str(x0 + x), str(y0 + y), "click", "1"]
        e2e._run(args)

    def play_won_game(self, program, games_before, what):
        """The player to move takes the left column; waits for the result."""
        self.click_cells(program, LEFT_COLUMN_WIN)
        if games_before == 4:
            return program.wait_for(self.question, "the match-end question after " + what)
        return self.wait_state(
            program, lambda st: st.label1 == "WINNER" and st.list1 is not None
            and len(st.list1) == games_before + 1, "the result of " + what)

    def press_continue(self, program):
        self.click_client(program, centre(CONTINUE))
        return self.wait_state(program, lambda st: st.cells == OPEN_BOARD and st.label1 is None,
                               "the board cleared by Continue")

    def play_match_to_question(self, program):
        """Five won games, each by the player who opens it; returns at the question."""
        for game in range(5):
            self.play_won_game(program, game, "game %d" % (game + 1))
            if game < 4:
                self.press_continue(program)
        return program.wait_for(self.question, "the match-end question")

    def open_popup_and_choose(self, program, item):
        self.click_client(program, BARE_SPOT, button=3)
        self.choose_from_popup(program, item)

    def assert_exits(self, program, status, within, what):
        """The program ends within `within` seconds with `status` (or one of them)."""
        started = time.monotonic()
        try:
            code = program.proc.wait(timeout=within)
        except subprocess.TimeoutExpired:
            self.fail("%s: the program still runs %.1f s later\n%s"
                      % (what, within, program.log()[-2000:]))
        allowed = status if isinstance(status, (tuple, list)) else (status,)
        self.assertIn(code, allowed, "%s: exit status (%s)\n%s"
                      % (what, describe_status(code), program.log()[-2000:]))
        return time.monotonic() - started


def describe_status(code):
    if code is not None and code < 0:
        return "killed by %s" % signal.Signals(-code).name
    return "status %s" % code


def cpu_seconds(pid):
    """Processor time the process has used so far, user and system."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are the 14th and 15th fields, the 12th and 13th after the name.
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def busy_share(pid, seconds):
    """Share of one processor the process used over the next `seconds`."""
    before = cpu_seconds(pid)
    time.sleep(seconds)
    return (cpu_seconds(pid) - before) / seconds
