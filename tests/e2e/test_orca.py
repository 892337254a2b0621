"""A short game played by keyboard alone under Orca, the screen reader, and
what Orca says of it. What the program announces, and when, is proven in
tests/ui; here, that a real screen reader speaks it."""

import pytest

from player import FIRST_PROMPT, OPENER_WINS, SECOND_PROMPT
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
    def step(key, expect, text=None):
        """Presses key (after typing text) once Orca is quiet; waits until
        it says expect."""
        orca.wait_quiet()
        since = len(orca.said())
        if text:
            desktop.type_text(text)
        desktop.key(key)
        return orca.wait_said(expect, since)

    start_tavrin()
    orca.wait_said(r"Play Now push button", timeout=30)
    step("Return", FIRST_PROMPT)
    step("Return", SECOND_PROMPT, text="Ann")
    step("Return", r"Ann to play", text="Bob")
    # Ann (O) opens and wins the left column.
    for cell, next_player in zip(OPENER_WINS, ["Bob", "Ann", "Bob", "Ann"]):
        step(str(cell + 1), r"in %d\. %s to play" % (cell + 1, next_player))
    step(str(OPENER_WINS[-1] + 1), r"in 7\. WINNER Ann\b")
    # The focus has fallen into the winner's score list, where Enter clears the board.
    step("Return", r"New board\. Bob to play")
    print("\n".join(orca.said()))
