"""A short game played by keyboard alone under Orca, the screen reader, and
what Orca says of it. What the program announces, and when, is proven in
tests/ui; here, that a real screen reader speaks it."""

import pytest

from player import OPENER_WINS
from screenreader import Orca


@pytest.fixture
def orca(desktop):
    reader = Orca(desktop).start()
    yield reader
    reader.close()


def test_orca_speaks_each_move_with_the_next_player_and_the_winner(orca, start_tavrin, desktop):
    # Catches announcements that Orca passes over (a role it ignores, a
    # name change instead of a notification), a move heard without whose
    # turn it is, a win without the winner, and keys that stop reaching the
    # program once Orca listens to the keyboard.
    def step(key, expect):
        """Presses key once Orca is quiet; waits until it says expect."""
        orca.wait_quiet()
        since = len(orca.said())
        desktop.key(key)
        return orca.wait_said(expect, since)

    player = start_tavrin()
    orca.wait_said(r"Play Now push button", timeout=30)
    # Each name is typed once its prompt has the focus in the accessibility
    # tree, faster than Orca reads the prompt: Orca 43 drops a focus that
    # keys overtake, and mostly misses the second prompt's, which comes as
    # the main window takes the focus back for a moment.
    since = len(orca.said())
    player.play_now("Ann", "Bob", key="Return")
    orca.wait_said(r"Ann to play", since)
    # Ann (O) opens and wins the left column.
    for cell, next_player in zip(OPENER_WINS[:4], ["Bob", "Ann", "Bob", "Ann"]):
        step(str(cell + 1), r"in %d\. %s to play" % (cell + 1, next_player))
    step(str(OPENER_WINS[-1] + 1), r"in 7\. WINNER Ann\b")
    # The focus has fallen into the winner's score list, where Enter clears the board.
    step("Return", r"New board\. Bob to play")
    print("\n".join(orca.said()))
