"""The main window and its dialogs on a real X server under openbox: where
they stand, what the window manager shows of them, and what the screen shows."""

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
