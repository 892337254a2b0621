"""The main window as a screen reader meets it: names, states, change
notices and the focus order, read over AT-SPI from the real program while
it is played with real clicks and keys."""

import time

import tavrin_e2e as e2e
from tavrin_e2e import FRAME1, LABEL3, LIST1, LIST2, cell_rect

LIST_ROLES = ("list", "list box", "table", "tree")


def open_names():
    return ["Cell %d, empty" % (i + 1) for i in range(9)]


def node_at(st, rect, roles=None):
    """The showing accessible object at rect (client pixels), or None."""
    for node in st.by_place.get(tuple(rect), []):
        if roles is None or node.role in roles:
            return node
    return None


def cell_names(st):
    """The nine cells' accessible names as read, None for a hidden cell."""
    names = []
    for i in range(9):
        node = node_at(st, cell_rect(i), ("push button",))
        names.append(node.name if node else None)
    return names


def focused_name(st):
    """The name of the focused cell, list or button of the window, or None."""
    for node in st.window.walk():
        if node.focused and node.role in ("push button",) + LIST_ROLES:
            return node.name
    return None


class NameChanges:
    """Collects the accessible-name change notices the program sends."""

    def __init__(self):
        import pyatspi
        self.registry = pyatspi.Registry
        self.names = []
        self.registry.registerEventListener(self._on_change, "object:property-change:accessible-name")

    def _on_change(self, event):
        # The notice carries the object, not its name: ask it, as a
        # screen reader would.
        try:
            self.names.append(event.source.name)
        except Exception:
            pass

    def heard(self, name):
        e2e._pump_events()
        return name in self.names

    def close(self):
        self.registry.deregisterEventListener(self._on_change, "object:property-change:accessible-name")


class AccessibilityTest(e2e.DesktopTestCase):

    def start_game(self, first, second):
        program = self.start_program()
        self.skip_splash(program)
        self.wait_state(program, lambda st: st.play_now == "Play Now", "the main menu")
        self.play_now(program, first, second)
        return program

    def test_cells_frames_and_labels_read_what_they_show(self):
        # Catches cells that read out a bare digit or keep "empty" after a
        # move, a frame that reads its doubled "&", and names that change
        # on the screen without the screen reader being told.
        program = self.start_game("Tom & Jerry", "Bob")
        st = self.state(program)
        self.assertEqual(cell_names(st), open_names())
        self.assertEqual(st.frame1, "Tom & Jerry")
        self.assertEqual(st.frame2, "Bob")
        self.assertEqual(node_at(st, FRAME1).role, "panel")
        self.assertEqual(st.label3, "Current Player")
        self.assertEqual(node_at(st, LABEL3).role, "label")
        self.assertEqual(st.label4, "Tom & Jerry")
        self.assertEqual(node_at(st, LIST1, LIST_ROLES).name, "Scores of Tom & Jerry")
        self.assertEqual(node_at(st, LIST2, LIST_ROLES).name, "Scores of Bob")

        changes = NameChanges()
        self.addCleanup(changes.close)
        self.click_client(program, e2e.centre(cell_rect(4)))
        st = self.wait_state(program, lambda st: cell_names(st)[4] == "Cell 5, O",
                             "cell 5 to be named after its nought")
        self.assertFalse(st.enabled[4], "a taken cell reads as disabled")
        self.assertTrue(st.enabled[0], "an open cell reads as enabled")
        self.assertEqual(st.label4, "Bob", "the turn label names the next player")
        program.wait_for(lambda p: changes.heard("Cell 5, O"), "notice of cell 5's new name")

        self.move(program, 0, "X", key=True)
        st = self.wait_state(program, lambda st: cell_names(st)[0] == "Cell 1, X",
                             "cell 1 to be named after its cross")
        self.assertEqual(cell_names(st), ["Cell 1, X"] + open_names()[1:4] + ["Cell 5, O"]
                         + open_names()[5:])
        self.assertEqual(st.label4, "Tom & Jerry")
        program.wait_for(lambda p: changes.heard("Cell 1, X"), "notice of cell 1's new name")

    def test_result_screen_reads_the_winner_scores_and_continue(self):
        # Catches a result that shows on the screen but reads as nothing,
        # and cells whose names lag behind Continue.
        program = self.start_game("Ann", "Bob")
        for n, cell in enumerate([0, 1, 3, 2, 6]):
            self.move(program, cell, "O" if n % 2 == 0 else "X")
        st = self.wait_state(program, lambda st: st.label2 == "Ann", "Ann's win")
        self.assertEqual(st.label1, "WINNER")
        self.assertEqual(st.continue_, "Continue")
        self.assertEqual(st.list1, ["1"])
        self.assertEqual(st.list2, ["0"])
        self.assertEqual(cell_names(st)[6], "Cell 7, O")
        self.assertEqual(st.enabled, [False] * 9, "a finished board reads as disabled")

        self.click_client(program, e2e.centre(e2e.CONTINUE))
        st = self.wait_state(program, lambda st: st.continue_ is None and
                             cell_names(st) == open_names(), "the board named empty again")
        self.assertEqual(st.enabled, [True] * 9)

    def test_tab_walks_the_designed_order_and_the_focus_is_read(self):
        # Catches a tab order that follows creation or stops on labels and
        # frames, a taken cell that still takes the focus, and a focus that
        # the screen reader cannot see.
        program = self.start_program()
        self.skip_splash(program)
        st = self.wait_state(program, lambda st: focused_name(st) == "Play Now",
                             "Play Now focused on the main menu")
        self.play_now(program, "Ann", "Bob")
        # The first cell holds the focus once the board is up.
        self.wait_state(program, lambda st: focused_name(st) == "Cell 1, empty",
                        "the focus on the first cell")
        expected = open_names()[1:] + ["Scores of Ann", "Scores of Bob", "Cell 1, empty"]
        heard = self.tab_through(program, expected)
        self.assertEqual(heard, expected)

        # A taken cell drops out of the order.
        self.move(program, 2, "O")
        self.focus_first_cell(program)
        self.desktop.key("Tab")
        self.wait_state(program, lambda st: focused_name(st) == "Cell 2, empty", "Tab to cell 2")
        self.desktop.key("Tab")
        self.wait_state(program, lambda st: focused_name(st) == "Cell 4, empty",
                        "Tab past the taken cell 3")

    def tab_through(self, program, expected):
        """Presses Tab once per expected name; returns the names focused in turn."""
        heard = []
        for name in expected:
            before = focused_name(self.state(program))
            self.desktop.key("Tab")
            try:
                st = self.wait_state(program, lambda st: focused_name(st) not in (None, before),
                                     "the focus to move on from %r" % before, timeout=5)
            except e2e.E2EError:
                st = self.state(program)
            heard.append(focused_name(st))
            if heard[-1] != name:
                break
        return heard

    def focus_first_cell(self, program):
        """Tabs until the first cell has the focus."""
        for _ in range(12):
            if focused_name(self.state(program)) == "Cell 1, empty":
                return
            self.desktop.key("Tab")
            time.sleep(0.1)
        self.fail("Tab never brings the focus to the first cell")


if __name__ == "__main__":
    e2e.run_tests()
