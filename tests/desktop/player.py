# SPDX-License-Identifier: GPL-3.0-or-later
"""A player's steps on the real program: what they see of the main window,
the splash and the dialogs, read over the accessibility bus, and what they
do with the mouse and keyboard. Controls are found by role and accessible
name; where to click comes from their places in the accessibility tree."""

import re
import time

from processes import DesktopError

OPEN_BOARD = [str(i) for i in range(1, 10)]
# Cells in the order of a game that whoever opens wins down the left column.
OPENER_WINS = (0, 1, 3, 4, 6)
FIRST_PROMPT = "Enter name of first player"
SECOND_PROMPT = "Enter name of second player"
CELL_NAME = re.compile(r"Cell ([1-9]), (.*)")
# A score entry as a screen reader hears it; its text is "1" for a win.
ENTRY_NAME = re.compile(r"Game [0-9]+: (won|lost|draw)")
PURE_RED = (255, 0, 0)


def inside(point, rect, margin=0):
    x, y = point
    rx, ry, rw, rh = rect
    return rx - margin <= x < rx + rw + margin and ry - margin <= y < ry + rh + margin


def free_spot(area, covers, margin=4, step=4):
    """The first point of area (x, y, w, h), row by row, at least margin
    away from its edges and from every rectangle of covers; None if none."""
    x0, y0, w, h = area
    for y in range(y0 + margin, y0 + h - margin, step):
        for x in range(x0 + margin, x0 + w - margin, step):
            if not any(inside((x, y), c, margin) for c in covers):
                return (x, y)
    return None


class MainState:
    """What the main window shows, read over AT-SPI.

    controls maps the designed name of each showing control ("Command2",
    "Label4", "List1", "Command1(4)", ...) to its object. cells[i] is cell
    i's caption (None while hidden), enabled[i] and focused[i] its states;
    label1..label4, frame1, frame2, play_now and continue_ are the showing
    controls' names (None while hidden); list1 and list2 the entries of the
    showing score lists; buttons the names of the showing push buttons.
    """

    def __init__(self, window):
        self.window = window
        found = {}
        for node in window.find_all(role="push button", name=CELL_NAME):
            found["Command1(%d)" % (int(CELL_NAME.fullmatch(node.name).group(1)) - 1)] = node
        found["Command2"] = window.find(role="push button", name="Play Now")
        found["Command3"] = window.find(role="push button", name="Continue")
        # The banner and the turn label's caption have fixed names; the label
        # each of them heads follows it.
        labels = window.find_all(role="label", showing=None)
        for i, node in enumerate(labels[:-1]):
            if node.showing and node.name in ("WINNER", "Current Player"):
                first, second = ("Label1", "Label2") if node.name == "WINNER" else ("Label3", "Label4")
                found[first] = node
                found[second] = labels[i + 1] if labels[i + 1].showing else None
        # The first player's frame holds that player's score list; the
        # second's list lies over its frame.
        panels = window.find_all(role="panel", showing=None)
        for name, panel in zip(("Frame1", "Frame2"), panels):
            found[name] = panel if panel.showing else None
        found["List1"] = panels[0].find(role="list") if panels else None
        others = [n for n in window.find_all(role="list") if n is not found["List1"]]
        found["List2"] = others[0] if others else None
        self.controls = {name: node for name, node in found.items() if node is not None}

        self.cell_nodes = [self.controls.get("Command1(%d)" % i) for i in range(9)]
        self.cells = [caption_of(n) if n else None for n in self.cell_nodes]
        self.enabled = [n.enabled if n else None for n in self.cell_nodes]
        self.focused = [bool(n and n.focused) for n in self.cell_nodes]
        self.buttons = sorted(n.name for n in window.find_all(role="push button")
                              if not CELL_NAME.fullmatch(n.name))
        names = {name: node.name for name, node in self.controls.items()}
        self.play_now, self.continue_ = names.get("Command2"), names.get("Command3")
        self.label1, self.label2 = names.get("Label1"), names.get("Label2")
        self.label3, self.label4 = names.get("Label3"), names.get("Label4")
        self.frame1, self.frame2 = names.get("Frame1"), names.get("Frame2")
        self.list1 = entries(self.controls.get("List1"))
        self.list2 = entries(self.controls.get("List2"))

    def __repr__(self):
        return ("cells=%s enabled=%s label1=%r label2=%r label4=%r frames=%r/%r lists=%s/%s "
                "buttons=%s" % (self.cells, self.enabled, self.label1, self.label2, self.label4,
                                self.frame1, self.frame2, self.list1, self.list2, self.buttons))


def caption_of(node):
    """A cell's caption from its accessible name: "5" for "Cell 5, empty"."""
    number, content = CELL_NAME.fullmatch(node.name).groups()
    return number if content == "empty" else content


def entry_of(node):
    """A score entry's text from its accessible name: "1" for "Game 2: won"."""
    result = ENTRY_NAME.fullmatch(node.name)
    if result is None:
        return node.name
    return "1" if result.group(1) == "won" else "0"


def entries(list_node):
    if list_node is None:
        return None
    return [entry_of(n) for n in list_node.walk() if n.role in ("list item", "table cell")]


class Player:
    """Plays program on desktop as a person would."""

    def __init__(self, desktop, program):
        self.desktop = desktop
        self.program = program
        # The last state read: controls keep their places, so clicks aim
        # with it rather than read the window again.
        self.last = None

    def wait_for(self, predicate, what, timeout=10.0):
        return self.program.wait_for(lambda p: predicate(), what, timeout)

    # The main window, read.

    def main_window(self):
        """The showing top level that holds Play Now or the cells, or None."""
        for top in self.program.accessible.top_levels():
            if top.find(role="push button", name="Play Now") or \
                    top.find(role="push button", name=CELL_NAME):
                return top
        return None

    def state(self):
        window = self.main_window()
        if window is None:
            raise DesktopError("the main window is not shown")
        self.last = MainState(window)
        return self.last

    def control(self, name):
        """The object of the shown control called name ("Command3", ...),
        from the last state read if it was shown then."""
        if self.last is None or name not in self.last.controls:
            self.state()
        if name not in self.last.controls:
            raise DesktopError("%s is not shown: %r" % (name, self.last))
        return self.last.controls[name]

    def wait_state(self, predicate, what, timeout=10.0):
        """Polls the main window until predicate(state) holds; returns the state."""
        last = [None]

        def probe():
            window = self.main_window()
            last[0] = MainState(window) if window is not None else None
            if last[0] is not None:
                self.last = last[0]
            return last[0] if last[0] is not None and predicate(last[0]) else None
        try:
            return self.wait_for(probe, what, timeout)
        except DesktopError as exc:
            raise DesktopError("%s\nlast seen: %r" % (exc, last[0]))

    def wait_main_menu(self, what="the main menu"):
        return self.wait_state(lambda st: st.buttons == ["Play Now"] and st.cells == [None] * 9, what)

    def dialog_titles(self):
        """The titles shown for the program's windows other than the splash
        and the main window (its dialogs)."""
        program = self.program
        return [self.desktop.title(wid) for wid in program.windows()
                if wid not in (program.splash_wid, program.main_wid)]

    def screenshot_window(self):
        """The main window's client area as a PIL image."""
        return self.desktop.screenshot(self.program.main_window_rect())

    def red_cells(self):
        """Indexes of the cells whose face shows pure red; raises when a cell
        is red only in part."""
        image = self.screenshot_window()
        painted = []
        for i in range(9):
            x, y, w, h = self.control("Command1(%d)" % i).rel
            # Without the edges, which neighbouring cells overlap.
            face = image.crop((x + 3, y + 3, x + w - 3, y + h - 3))
            share = sum(1 for px in face.getdata() if px == PURE_RED) / float((w - 6) * (h - 6))
            if share > 0.3:
                painted.append(i)
            elif share > 0:
                raise DesktopError("cell %d is red in part only (%.0f%%)" % (i + 1, 100 * share))
        return painted

    def wait_red(self, cells, what):
        self.wait_for(lambda: self.red_cells() == sorted(cells), what, timeout=5)

    # Input on the main window.

    def click(self, node, button=1):
        """Clicks the middle of node, an object of the main window."""
        x, y = self.program.origin()
        cx, cy = node.centre()
        self.desktop.click_at(x + cx, y + cy, button)

    def bare_spot(self, state=None):
        """A point of the main window (relative to it) that no shown
        control covers."""
        state = state or self.state()
        covers = [n.rel for n in state.window.children if n.showing and n.rel]
        spot = free_spot(state.window.rel, covers, margin=8)
        if spot is None:
            raise DesktopError("no bare spot on the main window")
        return spot

    def right_click_bare_window(self):
        x, y = self.program.origin()
        bx, by = self.bare_spot()
        self.desktop.click_at(x + bx, y + by, button=3)
        return (x + bx, y + by)

    # The splash.

    def splash(self):
        """The showing splash window's object (the top level holding the
        product name), or None."""
        for top in self.program.accessible.top_levels():
            if top.find(role="label", name="Tavrin"):
                return top
        return None

    def splash_frame_spot(self):
        """A point of the splash's frame, relative to the splash, that none of
        its labels or its picture covers."""
        try:
            splash = self.wait_for(self.splash, "the splash on the accessibility bus")
        except DesktopError as exc:
            raise DesktopError("%s; top levels seen: %s" % (exc, self.program.accessible.tree().children))
        frame = splash.find(role="panel")
        covers = [n.rel for n in frame.walk() if n is not frame and n.rel]
        spot = free_spot(frame.rel, covers)
        if spot is None:
            raise DesktopError("the splash's frame is covered everywhere: %s" % covers)
        return spot

    def skip_splash(self, timeout=5):
        """Clicks the splash's frame; returns the main window's rect."""
        _, rect = self.program.wait_splash()
        fx, fy = self.splash_frame_spot()
        self.desktop.click_at(rect[0] + fx, rect[1] + fy)
        return self.program.wait_main_window(timeout=timeout)

    def start_at_main_menu(self):
        self.skip_splash()
        return self.wait_main_menu()

    # The name prompts.

    def prompt(self, prompt):
        """(top level, text field) of the showing prompt saying prompt, or None."""
        for top in self.program.accessible.top_levels():
            if top.find(name=prompt):
                fields = [n for n in top.walk() if n.role in ("text", "entry") and n.showing]
                return (top, fields[0]) if fields else None
        return None

    def wait_prompt(self, prompt):
        """Waits for the prompt with its text field focused; returns (top, field)."""
        def ready():
            found = self.prompt(prompt)
            return found if found is not None and found[1].focused else None
        return self.wait_for(ready, "the prompt %r with its field focused" % prompt)

    def finish_prompt(self, prompt, text):
        """Waits for text in the open prompt, presses Enter, waits for it to close."""
        self.wait_for(lambda: self.prompt(prompt) and self.prompt(prompt)[1].text() == text,
                      "%r typed into the prompt %r" % (text, prompt))
        self.desktop.key("Return")
        self.wait_for(lambda: self.prompt(prompt) is None, "the prompt %r to close" % prompt)

    def answer_prompt(self, prompt, text):
        """Waits for the prompt, types text, presses Enter; returns its title."""
        top, _ = self.wait_prompt(prompt)
        self.desktop.type_text(text)
        self.finish_prompt(prompt, text)
        return top.name

    def press_play_now(self, key=None):
        """Presses Play Now, with a click or with key while it has the focus."""
        if key:
            self.desktop.key(key)
        else:
            self.click(self.control("Command2"))

    def play_now(self, first, second, key=None):
        """Presses Play Now and names the players; waits for the board."""
        self.press_play_now(key)
        self.answer_prompt(FIRST_PROMPT, first)
        self.answer_prompt(SECOND_PROMPT, second)
        return self.wait_state(lambda st: st.cells == OPEN_BOARD and st.label4 == first,
                               "the board after Play Now")

    # Moves.

    def focus_a_cell(self):
        """Makes sure an open cell has the keyboard focus, with Tab if needed."""
        for _ in range(20):
            st = self.state()
            if any(f and e for f, e in zip(st.focused, st.enabled)):
                return
            self.desktop.key("Tab")
            time.sleep(0.1)
        raise DesktopError("no open cell takes the focus with Tab")

    def move(self, cell, mark, key=False):
        """Plays cell (0..8) by a click or by its digit key; waits for mark there."""
        if key:
            self.focus_a_cell()
            self.desktop.key(str(cell + 1))
        else:
            self.click(self.control("Command1(%d)" % cell))
        return self.wait_state(lambda st: st.cells[cell] == mark, "%r in cell %d after %s"
                               % (mark, cell + 1, "its key" if key else "a click"))

    def play(self, cells):
        """Clicks the cells (0..8) one after the other in one burst."""
        x, y = self.program.origin()
        centres = [self.control("Command1(%d)" % c).centre() for c in cells]
        self.desktop.clicks([(x + cx, y + cy) for cx, cy in centres])

    def play_by_keys(self, cells):
        """Plays the cells by their digit keys, each once the last one shows."""
        for cell in cells:
            self.focus_a_cell()
            before = self.state().cells[cell]
            self.desktop.key(str(cell + 1))
            self.wait_state(lambda st: st.cells[cell] != before, "cell %d taken by its key" % (cell + 1))

    def wait_result(self, result, games, what):
        """Waits for the result screen naming result after games finished games."""
        return self.wait_state(lambda st: st.label1 == "WINNER" and st.label2 == result
                               and st.list1 is not None and len(st.list1) == games, what)

    def press_continue(self):
        self.click(self.control("Command3"))
        return self.wait_state(lambda st: st.cells == OPEN_BOARD and st.label1 is None,
                               "the board cleared by Continue")

    def play_match_to_question(self):
        """Five games, each won by the player who opens it; returns at the question."""
        for game in range(5):
            self.play(OPENER_WINS)
            if game < 4:
                self.wait_state(lambda st: st.list1 is not None and len(st.list1) == game + 1,
                                "the result of game %d" % (game + 1))
                self.press_continue()
        return self.wait_for(self.question, "the match-end question")

    # The match-end question.

    def question(self):
        """The showing message box (a top level with Yes and No), or None."""
        for top in self.program.accessible.top_levels():
            names = {n.name.replace("&", "") for n in top.find_all(role="push button")}
            if {"Yes", "No"} <= names:
                return top
        return None

    def read_question(self):
        """(its object, its text's lines) once the question shows."""
        box = self.wait_for(self.question, "the match-end question")
        texts = [n.name for n in box.find_all(role="label") if n.name]
        message = max(texts, key=len) if texts else ""
        return box, re.split("\r\n|\r|\n|\u2028", message)

    def answer_yes(self):
        """Enter: Yes is the default button."""
        self.desktop.key("Return")
        self.wait_for(lambda: self.question() is None, "the question to close")

    def answer_no(self):
        """Moves the focus to No with Tab and presses it with Space."""
        for _ in range(4):
            box = self.wait_for(self.question, "the match-end question")
            focused = [n.name.replace("&", "") for n in box.find_all(role="push button") if n.focused]
            if focused == ["No"]:
                break
            self.desktop.key("Tab")
            time.sleep(0.1)
        else:
            raise DesktopError("Tab never brings the focus to No")
        self.desktop.key("space")
        self.wait_for(lambda: self.question() is None, "the question to close")

    # The popup menu.

    def popup_item(self, name):
        """(menu, item) of a showing popup menu with an item called name, or None."""
        for menu in self.program.accessible.popup_menus():
            for n in menu.find_all(role="menu item"):
                if n.name.replace("&", "") == name:
                    return menu, n
        return None

    def choose_from_popup(self, name):
        """Opens the menu on the bare window and clicks the item called name."""
        self.right_click_bare_window()
        _, item = self.wait_for(lambda: self.popup_item(name), "the popup menu item %r" % name,
                                timeout=5)
        x, y, w, h = item.extents
        self.desktop.click_at(x + w // 2, y + h // 2)
