# SPDX-License-Identifier: GPL-3.0-or-later
"""A name of a million characters, pasted into the real prompt from the X
clipboard, through a whole match and its closing question: the program
stays responsive and shows the name, or the part of it that fits, as the
plain text typed."""

import time

from player import FIRST_PROMPT, OPENER_WINS, OPEN_BOARD, SECOND_PROMPT
from processes import cpu_seconds

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


def busy_share(pid, seconds=2.0):
    """Share of one processor the process uses over the next seconds."""
    time.sleep(1.0)  # the last repaint and accessibility notices settle
    before = cpu_seconds(pid)
    time.sleep(seconds)
    return (cpu_seconds(pid) - before) / seconds


def assert_shortened_name_line(line, rest, what):
    """A line of the question that starts with the name, shortened in its
    middle, and keeps its own end (the second name, the totals)."""
    assert line.endswith(rest), "%s keeps its end %r: %r" % (what, rest, line)
    head, ellipsis, tail = line[:-len(rest)].partition(ELLIPSIS)
    assert ellipsis == ELLIPSIS, "%s shortens the name: %r" % (what, line)
    assert head.startswith(HEAD) and NAME.startswith(head), "%s starts with the name as typed" % what
    assert NAME.endswith(tail), "%s ends the name as typed" % what


def test_million_character_name_through_a_whole_match(start_tavrin, desktop):
    # Catches a prompt that cuts the name, controls that read it as markup
    # or a mnemonic, a message box that grows off the screen or loses the
    # totals behind the name, and a program kept busy laying the name out
    # over and over.
    player = start_tavrin()
    pid = player.program.pid
    player.start_at_main_menu()
    desktop.serve_clipboard(NAME)
    player.press_play_now()
    player.wait_prompt(FIRST_PROMPT)
    started = time.monotonic()
    desktop.key("ctrl+v")
    player.wait_for(lambda: player.prompt(FIRST_PROMPT)[1].character_count() == len(NAME),
                    "the name pasted whole into the prompt", timeout=30)
    paste_time = time.monotonic() - started
    assert player.prompt(FIRST_PROMPT)[1].text() == NAME, "the prompt holds the pasted name"
    idle = {"with the name in the prompt": busy_share(pid)}

    player.finish_prompt(FIRST_PROMPT, NAME)
    player.answer_prompt(SECOND_PROMPT, SECOND)
    st = player.wait_state(lambda st: st.cells == OPEN_BOARD and st.label4 is not None, "the board after both names")
    assert (st.frame1, st.label4, st.frame2) == (NAME[:SHOWN], NAME[:SHOWN], SECOND)
    idle["with the name on the board"] = busy_share(pid)

    # Five games, each won by the player who opens it.
    for game in range(4):
        player.play(OPENER_WINS)
        st = player.wait_state(lambda st: st.list1 is not None and len(st.list1) == game + 1,
                               "the result of game %d" % (game + 1))
        if game % 2 == 0:
            assert st.label2 == NAME[:SHOWN], "the winner of game %d" % (game + 1)
        else:
            assert (st.label2, st.label4) == (SECOND, NAME[:SHOWN]), "game %d" % (game + 1)
        player.press_continue()
    player.play(OPENER_WINS)

    box, lines = player.read_question()
    assert len(lines) == 5, "the question's lines: %r" % lines
    assert_shortened_name_line(lines[0], " VS " + SECOND, "the question's first line")
    assert_shortened_name_line(lines[1], " wins the match.", "the question's second line")
    assert_shortened_name_line(lines[2], " secured  3", "the question's third line")
    assert lines[3:] == [SECOND + " secured  2", LAST_LINE]
    x, y, w, h = box.extents
    assert 0 <= x and x + w <= desktop.size[0] and 0 <= y and y + h <= desktop.size[1], \
        "the question fits on the screen: %r" % (box.extents,)
    idle["with the question open"] = busy_share(pid)

    player.answer_no()
    player.wait_main_menu("the main menu after No")
    player.choose_from_popup("Exit Game")
    assert player.program.wait_exit(5) == 0, "exit status after Exit Game on the main menu"
    print("\npaste %.1f s; busy while idle: %s"
          % (paste_time, "; ".join("%.0f%% %s" % (100 * v, k) for k, v in idle.items())))
    for where, share in idle.items():
        assert share < IDLE_BUSY, "the program keeps %.0f%% of a processor busy %s" % (100 * share, where)
