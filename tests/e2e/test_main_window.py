# SPDX-License-Identifier: GPL-3.0-or-later
"""The main window and its dialogs on a real X server under openbox: where
they stand, what the window manager shows of them, and what the screen shows."""

import pytest

from player import FIRST_PROMPT, OPENER_WINS, SECOND_PROMPT

# The designed window, in twips (15 to the pixel): the client area's place
# and size on the screen, and each control's rectangle in the window (List1's
# in its frame, Frame1).
TWIPS_PER_PIXEL = 15
WINDOW = (6390, 3570, 6795, 5445)
CONTROLS = {
    "Label1": (2280, 3840, 2055, 375),
    "Label2": (2280, 4560, 2055, 615),
    "Label3": (1920, 120, 2775, 375),
    "Label4": (2160, 720, 2295, 495),
    "Frame1": (240, 600, 1575, 4695),
    "List1": (600, 720, 495, 3360),
    "Frame2": (4920, 600, 1575, 4695),
    "List2": (5400, 1320, 495, 3360),
    "Command2": (1800, 1320, 3135, 2535),
    "Command3": (2160, 600, 2415, 615),
}
CONTROLS.update({"Command1(%d)" % i: (2280 + 720 * (i % 3), 1440 + 720 * (i // 3), 735, 735)
                 for i in range(9)})


def designed_place(name):
    """The control's designed rectangle in the window, in pixels."""
    x, y, w, h = CONTROLS[name]
    if name == "List1":
        x, y = x + CONTROLS["Frame1"][0], y + CONTROLS["Frame1"][1]
    return tuple(v // TWIPS_PER_PIXEL for v in (x, y, w, h))


def assert_designed_places(state):
    shown = {name: node.rel for name, node in state.controls.items()}
    assert shown == {name: designed_place(name) for name in shown}


def test_windows_stand_where_designed_under_the_title_tavrin(start_tavrin, desktop):
    # Catches a window placed by its frame instead of its client area, a
    # control moved or resized, a display name that window managers show
    # beside the title, a title bar without its close button, and Play Now
    # left on the screen under the board.
    player = start_tavrin()
    rect = player.skip_splash()
    assert rect == tuple(v // TWIPS_PER_PIXEL for v in WINDOW), "the main window's client area"
    main = player.program.main_wid
    assert desktop.title(main) == "Tavrin", "the title window managers show"
    left, right, top, bottom = desktop.wait_frame_extents(main)
    assert top > max(left, right, bottom), "a title bar above the window"
    assert "_NET_WM_ACTION_CLOSE" in desktop.property(main, "_NET_WM_ALLOWED_ACTIONS")

    st = player.wait_main_menu()
    assert list(st.controls) == ["Command2"], "the main menu shows Play Now alone"
    assert st.controls["Command2"].focused, "Play Now holds the focus"
    assert_designed_places(st)
    play_now = st.controls["Command2"].rel
    bare = player.screenshot_window()
    background = bare.getpixel(player.bare_spot(st))
    # Play Now's top edge crosses the band between the turn label and the board.
    edge = [(x, play_now[1]) for x in range(play_now[0] + 40, play_now[0] + play_now[2] - 40)]
    assert any(bare.getpixel(p) != background for p in edge), "Play Now's top edge is drawn"

    player.press_play_now()
    player.wait_prompt(FIRST_PROMPT)
    assert player.dialog_titles() == ["Tavrin"], "the first prompt's title"
    player.desktop.type_text("Ann")
    player.finish_prompt(FIRST_PROMPT, "Ann")
    player.wait_prompt(SECOND_PROMPT)
    assert player.dialog_titles() == ["Tavrin"], "the second prompt's title"
    player.desktop.type_text("Bob")
    player.finish_prompt(SECOND_PROMPT, "Bob")

    st = player.wait_state(lambda st: st.label4 == "Ann", "the board")
    board = player.screenshot_window()
    assert all(board.getpixel(p) == background for p in edge), "Play Now's edge is gone"
    for node in st.cell_nodes:
        x, y, w, h = node.rel
        drawn = sum(1 for px in board.crop((x, y, x + w, y + h)).getdata() if px != background)
        assert drawn > w * h // 20, "%s is drawn" % node.name

    # A won game shows every other control.
    player.play(OPENER_WINS)
    st = player.wait_result("Ann", 1, "Ann's win")
    assert_designed_places(st)
    assert sorted(st.controls) == sorted(set(CONTROLS) - {"Command2"})

    # Exit Game on the main menu that Play Again leaves with Continue shown.
    player.choose_from_popup("Play Again")
    player.wait_state(lambda st: st.buttons == ["Continue", "Play Now"],
                      "the main menu with Continue after Play Again")
    player.choose_from_popup("Exit Game")
    assert player.program.wait_exit() == 0, "exit status after Exit Game"


def lies_on_screen(desktop, wid):
    """Whether window wid, with what the window manager draws around it, lies
    wholly on the screen (openbox here keeps no part of it for panels)."""
    x, y, w, h = desktop.window_geometry(wid)
    left, right, top, bottom = desktop.wait_frame_extents(wid)
    width, height = desktop.size
    return x - left >= 0 and y - top >= 0 and x + w + right <= width and y + h + bottom <= height


def check_dialog(player, what):
    """The program's one dialog lies on the screen and offers no maximising
    (the question, made the same way, is left to the offscreen tests)."""
    program = player.program
    dialogs = [wid for wid in program.windows() if wid not in (program.splash_wid, program.main_wid)]
    assert len(dialogs) == 1, what
    player.wait_for(lambda: lies_on_screen(player.desktop, dialogs[0]), "%s on the screen" % what)
    actions = set(player.desktop.property(dialogs[0], "_NET_WM_ALLOWED_ACTIONS"))
    assert not actions & {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"}, what


def open_menu_by_key(player, key):
    """Opens the popup menu with key; returns it once it shows Exit Game."""
    player.desktop.key(key)
    menu, _ = player.wait_for(lambda: player.popup_item("Exit Game"), "the menu opened by %s" % key, timeout=5)
    return menu


@pytest.mark.parametrize("scale", [
    pytest.param(1, marks=pytest.mark.desktop(size=(800, 600)), id="800x600"),
    pytest.param(2, marks=pytest.mark.desktop(size=(1920, 1080)), id="1920x1080-at-200"),
])
def test_every_window_lies_on_a_small_or_scaled_screen(scale, start_tavrin, desktop):
    # Catches a main window kept at its designed place where it does not fit,
    # a splash off centre, a dialog off the screen or offering to be
    # maximised, and a Menu key or Shift+F10 that opens nothing or opens the
    # menu away from the keyboard focus.
    player = start_tavrin(QT_SCALE_FACTOR=str(scale))
    splash, _ = player.program.wait_splash()
    width, height = desktop.size

    def centred():
        x, y, w, h = desktop.window_geometry(splash)
        return abs(x + w / 2 - width / 2) <= 2 and abs(y + h / 2 - height / 2) <= 2
    player.wait_for(centred, "the splash centred on the screen")
    # Clicks land where the accessibility tree places controls, which is in
    # unscaled pixels: the scaled screen is driven by keys alone.
    if scale == 1:
        player.skip_splash()
    else:
        player.program.wait_main_window(timeout=9)
    main = player.program.main_wid
    player.wait_for(lambda: lies_on_screen(desktop, main), "the main window on the screen")

    player.wait_main_menu()
    player.press_play_now(key="space")
    for prompt, name in ((FIRST_PROMPT, "Ann"), (SECOND_PROMPT, "Bob")):
        player.wait_prompt(prompt)
        check_dialog(player, "the prompt %r" % prompt)
        desktop.type_text(name)
        player.finish_prompt(prompt, name)
    st = player.wait_state(lambda st: st.label4 == "Ann", "the board")
    focused = [n for n in st.cell_nodes if n.focused]
    assert focused, "a cell holds the focus"
    menu = open_menu_by_key(player, "Menu")
    anchor = (st.window.extents[0] + focused[0].centre()[0], st.window.extents[1] + focused[0].centre()[1])
    assert all(abs(a - b) <= scale for a, b in zip(menu.extents[:2], anchor)), "the menu opens at the focus"
    desktop.key("Escape")
    player.wait_for(lambda: not player.program.accessible.popup_menus(), "the menu to close")

    open_menu_by_key(player, "shift+F10")
    desktop.key("Down", "Return")  # from Play Again, where the keyboard opens it
    assert player.program.wait_exit() == 0, "exit status after Exit Game from the keyboard"
