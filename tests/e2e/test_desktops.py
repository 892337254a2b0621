# SPDX-License-Identifier: GPL-3.0-or-later
"""What differs between desktops, on the window managers of GNOME, KDE
Plasma and Xfce beside openbox: the splash's frame and title, the main
window's title, the screen showing what the window drew, the keys staying
with an open prompt after a click on the main window, and the dialogs over
the main window. The rules and the rest of the wiring are proven once, under
openbox, by the other tests here."""

import pytest

from player import FIRST_PROMPT, OPENER_WINS, SECOND_PROMPT


# One line per desktop.
DESKTOPS = {
    "openbox": dict(kind="x11", window_manager="openbox"),
    "mutter-x11": dict(kind="x11", window_manager="mutter"),
    "kwin-x11": dict(kind="x11", window_manager="kwin_x11"),
    "xfwm4": dict(kind="x11", window_manager="xfwm4"),
}
# Games won and checked on the screen: the stale screen that a compositing
# window manager can show is a race, so it gets more than one chance.
GAMES = 3


def within(inner, outer):
    ix, iy, iw, ih = inner
    ox, oy, ow, oh = outer
    return ox <= ix and oy <= iy and ix + iw <= ox + ow and iy + ih <= oy + oh


def screen_shows_window(player, what):
    """Waits until the screen shows what the main window drew. The caller
    has waited for the new screen over the accessibility bus, so a picture
    of an earlier screen left on the screen cannot pass."""
    desktop, program = player.desktop, player.program

    def same():
        drawn = desktop.window_image(program.main_wid)
        return drawn is not None and desktop.screenshot(program.main_window_rect()) == drawn
    player.wait_for(same, "the screen to show the main window's contents %s" % what, timeout=3)


def dialog(player):
    program = player.program
    others = [w for w in program.windows() if w not in (program.splash_wid, program.main_wid)]
    assert len(others) == 1, "one dialog"
    return others[0]


def row(name, **options):
    return pytest.param(name, marks=pytest.mark.desktop(**options), id=name)


@pytest.mark.parametrize("name", [row(name, **options) for name, options in DESKTOPS.items()])
def test_windows_titles_keys_and_screen(name, start_tavrin, desktop):
    # Catches a title bar or border that the window manager draws on the
    # splash, a caption on it, a main window titled otherwise than
    # "Tavrin", a prompt placed off the main window or one that loses the
    # keys to a click on the main window, and a screen that goes on
    # showing an earlier picture of the window than the one it drew.
    player = start_tavrin()
    splash, _ = player.program.wait_splash()
    assert desktop.undecorated(splash), "decorations on the splash: %s" % (desktop.frame_extents(splash),)
    assert desktop.title(splash) == "", "the splash's title"
    player.skip_splash()
    assert desktop.title(player.program.main_wid) == "Tavrin", "the main window's title"
    player.wait_main_menu()

    player.press_play_now()
    player.wait_prompt(FIRST_PROMPT)
    prompt = dialog(player)
    # Where the main window is now: a window manager may move it after
    # mapping it.
    main = player.program.main_window_rect()
    assert within(desktop.window_geometry(prompt), main), "the prompt over the main window"
    x, y = player.program.origin()
    bx, by = player.bare_spot()
    desktop.click_at(x + bx, y + by)
    desktop.type_text("Ann")
    player.finish_prompt(FIRST_PROMPT, "Ann")
    player.answer_prompt(SECOND_PROMPT, "Bob")
    player.wait_state(lambda st: st.label4 == "Ann", "the board")
    screen_shows_window(player, "after the names")

    for game in range(GAMES):
        if game:
            player.press_continue()
        player.play(OPENER_WINS)
        player.wait_result(("Ann", "Bob")[game % 2], game + 1, "game %d won" % (game + 1))
        screen_shows_window(player, "after game %d" % (game + 1))
