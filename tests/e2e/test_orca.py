# SPDX-License-Identifier: GPL-3.0-or-later
"""A short game played by keyboard alone under Orca, the screen reader, and
what Orca says of it. What the program announces, and when, is proven in
tests/ui; here, that a real screen reader speaks it, and in what order."""

import re

import pytest

from screenreader import Orca


@pytest.fixture
def orca(desktop):
    reader = Orca(desktop).start()
    yield reader
    reader.close()


def test_orca_speaks_the_news_first_at_a_players_pace(orca, start_tavrin, desktop):
    # Catches a silent splash, announcements that Orca passes over (a role it ignores, a
    # name change instead of a notification), news heard only after the
    # focus speech or lost in a flood of events, whose turn it is said twice,
    # a refused key heard as nothing, a keyboard menu that opens silent, and
    # keys that stop reaching the program once Orca listens to the keyboard.
    player = start_tavrin()
    # The splash, which takes no focus, is read while it shows.
    orca.wait_said(r"^notification Licensed to: .*\. Beware: three in a row wins!$", timeout=30)
    orca.wait_said(r"Play Now push button", timeout=30)
    # Each name is typed once its prompt has the focus in the accessibility
    # tree, faster than Orca reads the prompt: Orca 43 drops a focus that
    # keys overtake, and mostly misses the second prompt's, which comes as
    # the main window takes the focus back for a moment.
    since = len(orca.said())
    player.play_now("Ann", "Bob", key="Return")
    orca.wait_said(r"Ann to play", since)
    orca.wait_quiet()
    # Ann (O) opens and wins the left column; a key a second, as a player
    # who knows the game presses them, and Orca stops speaking at each.
    # Each key with the news, and what the focus moving says after it.
    steps = [("1", r"Ann plays O in 1\. Bob to play, X", r"^Cell 2, empty push button\.$"),
             ("2", r"Bob plays X in 2\. Ann to play, O", r"^Cell 3, empty push button\.$"),
             ("4", r"Ann plays O in 4\. Bob to play, X", None), ("1", r"^notification Cell 1 is taken, O", None),
             ("5", r"Bob plays X in 5\. Ann to play, O", None),
             # The focus falls into the winner's score list, where Enter clears the board.
             ("7", r"Ann plays O in 7\. WINNER Ann\b", r"^Ann: 1 win in 1 game\.$"),
             ("Down", r"^notification Game 1: won", None),
             ("Return", r"New board\. Bob to play, X", r"^Cell 1, empty push button\.$"),
             ("shift+F10", r"Play Again", None)]
    marks = []
    for key, news, then in steps:
        marks.append(len(orca.said()))
        desktop.key(key)
        orca.listen(1)
        # Where Orca is slower than a key a second (a loaded machine), the
        # next key waits until it has had its say rather than overtaking it.
        orca.wait_said(then or news, marks[-1])
    said = orca.said()
    print("\n".join(said[marks[0]:]))
    for (key, news, _), mark in zip(steps, marks):
        # A key's echo ends in a space (where Orca names locking keys).
        first = next((text for text in said[mark:] if not text.endswith(" ")), None)
        assert first is not None and re.search(news, first), "after %s Orca said %r" % (key, said[mark:mark + 6])
        if news.startswith(r"Ann plays") or news.startswith(r"Bob plays"):
            assert first.startswith("notification "), first
    # Whose turn it is, once a step: in the news, not again by the focus.
    assert sum("to play" in text for text in said[marks[0]:]) == 5
