# SPDX-License-Identifier: GPL-3.0-or-later
"""The main window as a screen reader meets it over the accessibility bus
(AT-SPI): names, roles and states as the bridge carries them, the notices of
changed names, and the focus that real Tab presses move. What each control
is named is proven in-process in tests/ui/tst_accessibility.cpp."""

import re

import pytest

from accessible import Events

OPEN_NAMES = ["Cell %d, empty" % i for i in range(1, 10)]


def focused_name(state):
    """The name of the window's focused object, or None."""
    focused = [n.name for n in state.window.walk() if n.focused and n is not state.window]
    return focused[0] if focused else None


@pytest.fixture
def events(session_bus):
    """What a screen reader hears from the program's start on."""
    recorded = Events("object:property-change:accessible-name", "object:state-changed:showing",
                      "object:state-changed:visible")
    yield recorded
    recorded.close()


def announced(events, pattern):
    """The announcements heard so far that pattern matches as a whole."""
    return events.heard(lambda r: re.fullmatch(pattern, r[2]), type="object:state-changed:showing",
                        role="notification", detail1=1)


def test_names_notices_and_the_focus_reach_the_screen_reader(events, start_tavrin, desktop):
    # Catches a bridge that reads a frame's doubled "&", cells read out as a
    # bare digit or left "empty" after a move, names that change on the
    # screen without a notice, a focus the screen reader cannot follow, a
    # tab order that stops on labels or taken cells, and a close from the
    # window manager that leaves the program running; a move or a win not
    # announced, and controls that Play Now shows but a screen reader's
    # cache keeps invisible (it learns states only from change events, and
    # Qt sends none for "visible"; Orca's flat review then skips them).
    player = start_tavrin()
    player.start_at_main_menu()
    st = player.play_now("Tom & Jerry", "Bob")
    assert [n.name for n in st.cell_nodes] == OPEN_NAMES
    shown = set(OPEN_NAMES + ["Current Player", "Tom & Jerry", "Bob", "Scores of Tom & Jerry", "Scores of Bob"])
    player.wait_for(lambda: shown <= {name for _, _, name, _, _ in
                                      events.heard(type="object:state-changed:visible", detail1=1)},
                    "the shown controls reported visible")
    assert [st.controls[c].role for c in ("Frame1", "Label3", "Label4", "List1")] == \
        ["panel", "label", "label", "list"]
    assert (st.frame1, st.frame2, st.label3, st.label4) == ("Tom & Jerry", "Bob", "Current Player", "Tom & Jerry")
    assert (st.controls["List1"].name, st.controls["List2"].name) == ("Scores of Tom & Jerry", "Scores of Bob")

    # Tab walks the cells, then the score lists, and round again.
    player.wait_state(lambda st: focused_name(st) == "Cell 1, empty", "the focus on the first cell")
    heard = []
    for _ in range(11):
        before = focused_name(player.state())
        desktop.key("Tab")
        heard.append(focused_name(player.wait_state(lambda st: focused_name(st) not in (None, before),
                                                    "the focus to move on from %r" % before)))
    assert heard == OPEN_NAMES[1:] + ["Scores of Tom & Jerry", "Scores of Bob", "Cell 1, empty"]

    player.move(4, "O")
    player.move(2, "X", key=True)
    st = player.wait_state(lambda st: st.label4 == "Tom & Jerry", "the turn back to Tom & Jerry")
    assert [n.name for n in st.cell_nodes] == \
        OPEN_NAMES[:2] + ["Cell 3, X", "Cell 4, empty", "Cell 5, O"] + OPEN_NAMES[5:]
    assert [st.enabled[i] for i in (0, 2, 4)] == [True, False, False], "taken cells read as disabled"
    for name in ("Cell 5, O", "Cell 3, X"):
        player.wait_for(lambda: events.heard(type="object:property-change:accessible-name", name=name),
                        "the notice of the name %r" % name)
    player.wait_for(lambda: announced(events, r".* in 3\. Tom & Jerry to play\b.*"), "the move announced")

    # A taken cell drops out of the order.
    for _ in range(12):
        if focused_name(player.state()) == "Cell 1, empty":
            break
        desktop.key("Tab")
    for expected in ("Cell 2, empty", "Cell 4, empty"):
        desktop.key("Tab")
        player.wait_state(lambda st: focused_name(st) == expected, "Tab to %r" % expected)

    # Tom & Jerry wins the diagonal from the top left.
    player.play([0, 1, 8])
    player.wait_result("Tom & Jerry", 1, "the win")
    player.wait_for(lambda: announced(events, r".* in 9\. WINNER Tom & Jerry\b.*"), "the win announced")

    desktop.key("alt+F4")
    assert player.program.wait_exit() == 0, "exit status after closing the window"
