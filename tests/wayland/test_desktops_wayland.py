# SPDX-License-Identifier: GPL-3.0-or-later
"""What the Wayland compositors of the desktops give the program's windows:
sway, GNOME's mutter and KDE Plasma's KWin (both nested in an Xvfb).

The splash shows no title and, where the compositor offers a way, stays out
of the task bar and the window switcher; the main window is titled "Tavrin"
alone; the prompts open over the main window; and a click on the main window
while a prompt is open leaves the keyboard with the prompt, as does a prompt
minimised from KWin's title bar.
"""

import time

import pytest

from player import FIRST_PROMPT, SECOND_PROMPT, free_spot

DESKTOPS = [pytest.param(kind, marks=pytest.mark.desktop(kind=kind)) for kind in ("sway", "mutter", "kwin")]


def centre(rect):
    x, y, w, h = rect
    return (x + w // 2, y + h // 2)


def inside(point, rect):
    x, y, w, h = rect
    return x <= point[0] < x + w and y <= point[1] < y + h


def click_beside(player, desktop, main, dialog):
    """Clicks a bare spot of the main window that the dialog leaves free."""
    state = player.state()
    x, y = main[:2]
    covers = [n.rel for n in state.window.children if n.showing and n.rel]
    covers.append((dialog[0] - x, dialog[1] - y, dialog[2], dialog[3]))
    bx, by = free_spot((0, 0, main[2], main[3]), covers, margin=8)
    desktop.click_at(x + bx, y + by)


def wait_dialog_focused(player, desktop):
    """Waits until the compositor gives the keyboard to a window of the
    program other than the main window: after the click has moved it (the
    program takes it back at once, or within a quarter of a second where
    the compositor refuses that and the dialog must show anew)."""
    time.sleep(0.5)
    player.wait_for(lambda: any(v.get("focused") and w != player.program.main_wid
                                for w, v in desktop.views().items() if w in player.program.windows()),
                    "the keyboard back at the dialog", timeout=3)


def dialog_rect(player):
    """Where the one open dialog shows, once the compositor shows it."""
    def shown():
        others = [r for w, r in player.program.windows().items() if w != player.program.main_wid]
        return others[0] if len(others) == 1 else None
    return player.wait_for(shown, "the dialog on the screen", timeout=3)


@pytest.mark.parametrize("kind", DESKTOPS)
def test_titles_task_bar_placement_and_keys_after_a_click(kind, start_tavrin, desktop):
    # Catches a splash titled after the program (and so a main window that
    # KWin numbers "Tavrin <2>"), a splash in KWin's task bar or window
    # switcher, a splash window left behind after the hand-over, a prompt
    # placed away from the main window, and keys typed after a click on the
    # main window that never reach the open prompt, or a minimised prompt
    # that does not come back.
    player = start_tavrin()
    splash, _ = player.program.wait_splash()
    if kind != "mutter":  # mutter alone tells nobody its windows' titles
        assert desktop.title(splash) in ("", None), "the splash's title"
    if kind == "kwin":
        view = desktop.views()[splash]
        assert (view["skipTaskbar"], view["skipSwitcher"]) == (True, True), "the splash in KWin's lists"

    # Nested mutter, on a busy machine, may take seconds to show a window.
    main = player.skip_splash(timeout=15)
    player.wait_for(lambda: splash not in desktop.views(), "the splash's window to go", timeout=3)
    if kind != "mutter":
        assert desktop.title(player.program.main_wid) == "Tavrin", "the main window's title"
    player.wait_main_menu()

    player.press_play_now()
    player.wait_prompt(FIRST_PROMPT)
    rect = dialog_rect(player)
    # mutter opens a Wayland dialog beside its main window; in a GNOME
    # session the program runs through XWayland, where it opens over it.
    if kind != "mutter":
        assert inside(centre(rect), main), "the prompt %s over the main window %s" % (rect, main)

    click_beside(player, desktop, main, rect)
    wait_dialog_focused(player, desktop)
    desktop.type_text("Ann")
    player.finish_prompt(FIRST_PROMPT, "Ann")

    player.wait_prompt(SECOND_PROMPT)
    if kind == "kwin":
        # Minimised as KWin's title bar does it: a click on the main window
        # brings it back.
        desktop.minimize(max(desktop.views()))
        click_beside(player, desktop, main, rect)
        wait_dialog_focused(player, desktop)
    desktop.type_text("Bob")
    player.finish_prompt(SECOND_PROMPT, "Bob")
    player.wait_state(lambda st: st.frame1 == "Ann" and st.frame2 == "Bob", "the board with both names")
