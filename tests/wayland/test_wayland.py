# SPDX-License-Identifier: GPL-3.0-or-later
"""The program natively on Wayland, under a headless sway: the splash without
decoration, a whole match with real input, the popup menu, and the ways out.

The rules, the screens and the dialogs' texts are the same on every
platform and are proven on X11 (tests/e2e); these tests catch what only the
Wayland platform can get wrong: decoration, input reaching the right window,
a popup placed by the compositor, and the program's end.
"""

import pytest

from player import OPENER_WINS

pytestmark = pytest.mark.desktop(kind="sway")

# The splash's designed client area in twips (15 to the pixel), and the
# line it draws around it where nobody else draws a border.
SPLASH_CLIENT = (7290, 4170)
OWN_BORDER = 1


def differing_box(before, after):
    """The bounding box (left, top, right, bottom) of the pixels that differ."""
    from PIL import ImageChops
    return ImageChops.difference(before, after).getbbox()


def test_splash_has_no_decoration_hands_over_and_closing_ends(start_tavrin, desktop):
    # Catches a title bar or window buttons on the splash (drawn by Qt or
    # asked of the compositor), its border line missing, doubled or
    # misplaced, a frame click that does not reach it, and a close of the
    # main window that leaves the program running or fails it.
    player = start_tavrin()
    wid, rect = player.program.wait_splash()
    view = desktop.views()[wid]
    # "csd": the window draws its own decoration, so sway draws none.
    assert view["border"] in ("csd", "none"), "sway's decoration of the splash"
    assert view["deco_rect"]["height"] == 0, "a title bar from sway"
    assert rect[2:] == tuple(v // 15 + 2 * OWN_BORDER for v in SPLASH_CLIENT), "the splash's client area and its line"

    margin = 10
    x, y, w, h = rect
    shot = desktop.screenshot((x - margin, y - margin, w + 2 * margin, h + 2 * margin))
    outline = ([(margin + i, margin) for i in range(w)] + [(margin + i, margin + h - 1) for i in range(w)]
               + [(margin, margin + j) for j in range(h)] + [(margin + w - 1, margin + j) for j in range(h)])
    assert len({shot.getpixel(p) for p in outline}) == 1, "one colour all round the splash"
    line = shot.getpixel(outline[0])
    around = {shot.getpixel((i, j)) for i in range(w + 2 * margin) for j in range(h + 2 * margin)
              if not (margin <= i < margin + w and margin <= j < margin + h)}
    assert around == {desktop.background}, "nothing drawn around the splash (a title bar, a shadow)"
    assert line != desktop.background, "the line stands out from the desktop"
    inside_top = [shot.getpixel((margin + i, margin + 1)) for i in range(1, w - 1)]
    assert inside_top.count(line) / len(inside_top) < 0.5, "a line one pixel wide"

    player.skip_splash()
    player.wait_for(lambda: not desktop.is_viewable(wid), "the splash to go", timeout=2)
    player.wait_main_menu()
    desktop.request_close(player.program.main_wid)
    assert player.program.wait_exit() == 0, "exit status after closing the window"


def test_match_with_real_input_then_exit_game(start_tavrin, desktop):
    # Catches typed names, clicks or digit keys that do not reach the
    # prompts, the cells or the match-end question on Wayland, a red line
    # that does not show, a popup menu away from the pointer, and an Exit
    # Game that fails the program.
    player = start_tavrin()
    player.start_at_main_menu()
    player.play_now("Alice", "Bob")

    # Game 1 by clicks and a digit key: Alice wins the left column.
    player.move(0, "O")
    player.move(1, "X", key=True)
    for cell, mark in ((3, "O"), (4, "X"), (6, "O")):
        player.move(cell, mark)
    player.wait_result("Alice", 1, "Alice's win")
    player.wait_red([0, 3, 6], "the left column painted red")
    assert player.press_continue().label4 == "Bob"

    # Games 2 to 5 by digit keys: whoever opens wins the left column.
    starters = ["Bob", "Alice", "Bob", "Alice"]
    for game, starter in enumerate(starters):
        player.play_by_keys(OPENER_WINS)
        if game < len(starters) - 1:
            st = player.wait_result(starter, game + 2, "%s's win" % starter)
            assert (st.list1, st.list2) == (["1", "0", "1", "0"][:game + 2], ["0", "1", "0", "1"][:game + 2])
            assert player.press_continue().label4 == starters[game + 1]
    box, lines = player.read_question()
    assert lines[:2] == ["Alice VS Bob", "Alice wins the match."]
    player.answer_no()
    player.wait_main_menu("the main menu after No")

    # The popup menu opens with its corner at the pointer. The menu's own
    # idea of where it is may differ from the compositor's; what the screen
    # shows does not.
    x, y = player.program.origin()
    bx, by = player.bare_spot()
    spot = (x + bx, y + by)
    desktop.move_to(*spot)
    before = desktop.screenshot()
    desktop.click_at(*spot, button=3)
    menu, item = player.wait_for(lambda: player.popup_item("Exit Game"), "the popup menu")
    shown = player.wait_for(lambda: differing_box(before, desktop.screenshot()), "the popup menu on the screen")
    assert abs(shown[0] - spot[0]) + abs(shown[1] - spot[1]) <= 2, \
        "the menu's corner %s at the pointer %s" % (shown[:2], spot)
    ix, iy, iw, ih = item.extents
    desktop.click_at(shown[0] + ix - menu.extents[0] + iw // 2, shown[1] + iy - menu.extents[1] + ih // 2)
    assert player.program.wait_exit() == 0, "exit status after Exit Game"
