# SPDX-License-Identifier: GPL-3.0-or-later
"""The splash window on a real X server under openbox: its place and
decoration, its timer against the wall clock, and real clicks on its frame."""

import time


def test_splash_is_centred_undecorated_and_hands_over_on_the_sixth_tick(start_tavrin, desktop):
    # Catches Motif hints that let the window manager draw a title bar, the
    # splash's own line missing, a task-bar entry, a caption, a splash
    # placed by the window manager, keys or a close request that end it
    # early, and a hand-over on the fifth tick.
    player = start_tavrin()
    splash, rect = player.program.wait_splash()
    seen = time.monotonic()
    width, height = desktop.size
    assert abs(rect[0] + rect[2] / 2 - width / 2) <= 2, "centred across"
    assert abs(rect[1] + rect[3] / 2 - height / 2) <= 2, "centred down"
    assert desktop.wait_frame_extents(splash) == (0, 0, 0, 0), "decorations from the window manager"
    x, y, w, h = rect
    shot = desktop.screenshot(rect)
    outline = {shot.getpixel(p) for i in range(w) for p in ((i, 0), (i, h - 1))} | \
        {shot.getpixel(p) for j in range(h) for p in ((0, j), (w - 1, j))}
    assert len(outline) == 1 and shot.getpixel((1, 1)) not in outline, "the splash's own one-pixel line"
    assert {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"} <= set(desktop.property(splash, "_NET_WM_STATE"))
    assert desktop.title(splash) == "", "the title window managers show"
    assert desktop.property(splash, "WM_NAME") == ""

    time.sleep(0.5)
    desktop.key("Escape", "Return", "space", "alt+F4")
    time.sleep(1.0)
    player.program.check_alive()
    assert desktop.is_viewable(splash), "keys and a close request leave the splash"
    assert player.program.main_window_rect() is None

    player.program.wait_main_window(timeout=9)
    elapsed = time.monotonic() - seen
    assert 5.0 <= elapsed <= 7.0, "the main window came %.1f s after the splash" % elapsed
    player.wait_for(lambda: not desktop.is_viewable(splash), "the splash to disappear", timeout=2)
    player.wait_main_menu()


def test_frame_click_hands_over_at_once_and_labels_do_not(start_tavrin, desktop):
    # Catches a click handler on the whole splash rather than its frame, and
    # a sixth tick that brings the splash back or opens a second main window.
    player = start_tavrin()
    splash, rect = player.program.wait_splash()
    seen = time.monotonic()
    frame_spot = player.splash_frame_spot()
    top = player.splash()
    frame = top.find(role="panel")
    for node in (top.find(role="label", name="Tavrin"), top.find(role="image")):
        x, y = node.centre()
        desktop.click_at(rect[0] + x, rect[1] + y)
    # The strip of the window left of the frame.
    desktop.click_at(rect[0] + frame.rel[0] // 2, rect[1] + frame.rel[1] + frame.rel[3] // 2)
    time.sleep(1.0)
    player.program.check_alive()
    assert desktop.is_viewable(splash), "clicks on a label, the logo or the border leave the splash"
    assert player.program.main_window_rect() is None

    desktop.click_at(rect[0] + frame_spot[0], rect[1] + frame_spot[1])
    player.program.wait_main_window(timeout=1.5)
    assert time.monotonic() - seen < 5.0, "the click, not the timer, handed over"
    player.wait_for(lambda: not desktop.is_viewable(splash), "the splash to disappear", timeout=2)
    player.wait_main_menu()

    # Past the sixth tick nothing changes on screen.
    time.sleep(max(0.0, seen + 6.8 - time.monotonic()))
    player.program.check_alive()
    assert not desktop.is_viewable(splash), "the splash stays hidden"
    assert list(player.program.windows()) == [player.program.main_wid], "one main window"
    player.wait_main_menu()
