"""The program as a screen reader meets it: its accessible objects read over
the accessibility bus (AT-SPI, with pyatspi), and the events it sends there.

Controls are found as a screen reader finds them, by role and name; their
places come from the objects' extents, relative to their top-level window.
"""

import os
import warnings

from processes import DEFAULT_TIMEOUT, DesktopError, wait_until

# Noise from the gi bindings behind pyatspi, not from the program.
warnings.filterwarnings("ignore", category=ImportWarning)
warnings.filterwarnings("ignore", category=DeprecationWarning)

# libatspi keeps caches that only its event loop brings up to date, and
# nothing here runs that loop all the time: read everything afresh.
os.environ["ATSPI_NO_CACHE"] = "1"


def pump_events():
    """Delivers the AT-SPI events that have arrived to their listeners."""
    from gi.repository import GLib
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


class Node:
    """A snapshot of one accessible object: role, name, states, extents.

    extents are screen pixels as the program believes them; rel is the
    place relative to the object's top-level window, which is what to trust:
    Qt can misjudge where the window manager put a window.
    """

    def __init__(self, acc):
        import pyatspi
        self.acc = acc
        self.role = acc.getRoleName()
        self.name = acc.name or ""
        states = acc.getState()
        self.showing = states.contains(pyatspi.STATE_SHOWING)
        self.enabled = states.contains(pyatspi.STATE_ENABLED)
        self.focused = states.contains(pyatspi.STATE_FOCUSED)
        self.extents = None
        if self.showing:
            try:
                box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                self.extents = (box.x, box.y, box.width, box.height)
            except Exception:
                pass
        self.rel = None
        self.children = []

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()

    def find_all(self, role=None, name=None, showing=True):
        """Objects under this one (itself included) of role and name; name
        may be a compiled pattern that must match the whole name."""
        def named(n):
            if name is None:
                return True
            if hasattr(name, "fullmatch"):
                return name.fullmatch(n.name) is not None
            return n.name == name
        return [n for n in self.walk()
                if (role is None or n.role == role) and named(n)
                and (showing is None or n.showing == showing)]

    def find(self, role=None, name=None, showing=True):
        """The first object find_all gives, or None."""
        found = self.find_all(role, name, showing)
        return found[0] if found else None

    def centre(self):
        """The middle of the object relative to its top-level window."""
        x, y, w, h = self.rel
        return (x + w // 2, y + h // 2)

    def text(self):
        """The text of an editable object (its name as a fallback)."""
        try:
            return self.acc.queryText().getText(0, -1)
        except Exception:
            return self.name

    def character_count(self):
        return self.acc.queryText().characterCount

    def __repr__(self):
        return "<%s %r%s>" % (self.role, self.name[:40], "" if self.showing else " hidden")


class Application:
    """One process's accessible objects on the bus."""

    def __init__(self, pid, check=None):
        self.pid = pid
        self.check = check
        self._app = None
        self._menus = []

    def app(self, timeout=DEFAULT_TIMEOUT):
        """The process's AT-SPI application object; waits for it to register."""
        if self._app is None:
            import pyatspi
            from gi.repository import Atspi
            seen = []

            def lookup():
                pump_events()
                # The list of applications, too, is read afresh each time:
                # a cached one would miss a program started after it.
                desktop = pyatspi.Registry.getDesktop(0)
                desktop.set_cache_mask(Atspi.Cache.NONE)
                desktop.clear_cache()
                del seen[:]
                for i in range(desktop.childCount):
                    try:
                        app = desktop.getChildAtIndex(i)
                        pid = app.get_process_id() if app is not None else None
                    except Exception:
                        continue
                    seen.append((app.name, pid))
                    if pid == self.pid:
                        return app
                return None
            try:
                self._app = wait_until(lookup, "the program on the accessibility bus", timeout,
                                       check=self.check)
            except DesktopError as exc:
                raise DesktopError("%s; applications seen (name, pid): %s" % (exc, seen))
            self._app.set_cache_mask(Atspi.Cache.NONE)
            # Popup menus are not children of the application object; they
            # announce themselves when they show.
            pyatspi.Registry.registerEventListener(self._on_showing, "object:state-changed:showing")
        return self._app

    def _on_showing(self, event):
        try:
            if event.detail1 and event.source.getRoleName() in ("popup menu", "menu"):
                self._menus.append(event.source)
        except Exception:
            pass

    def close(self):
        if self._app is not None:
            import pyatspi
            try:
                pyatspi.Registry.deregisterEventListener(self._on_showing, "object:state-changed:showing")
            except Exception:
                pass
            self._app = None

    def tree(self, include_hidden=False):
        """A snapshot of the objects under the process's windows. Hidden
        objects are listed, but what lies in them only with include_hidden."""
        app = self.app()
        app.clear_cache()
        root = _snapshot(app, include_hidden)
        for top in root.children:
            _place_relative(top, top)
        return root

    def top_levels(self):
        """The process's showing top-level windows."""
        return [n for n in self.tree().children if n.showing]

    def popup_menus(self):
        """The process's showing popup menus."""
        self.app()
        pump_events()
        menus = []
        for acc in self._menus:
            try:
                node = _snapshot(acc, False)
            except Exception:
                continue
            if node.showing:
                _place_relative(node, node)
                menus.append(node)
        return menus


def _snapshot(acc, include_hidden, depth=0):
    node = Node(acc)
    # The application object itself is never "showing".
    if depth > 30 or (depth > 0 and not node.showing and not include_hidden):
        return node
    for i in range(acc.childCount):
        try:
            child = acc.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            node.children.append(_snapshot(child, include_hidden, depth + 1))
    return node


def _place_relative(top, window):
    for node in top.walk():
        if node.extents is not None and window.extents is not None:
            node.rel = (node.extents[0] - window.extents[0],
                        node.extents[1] - window.extents[1]) + node.extents[2:]


class Events:
    """Records the AT-SPI events of the given types (such as
    "object:announcement", "object:property-change:accessible-name",
    "object:property-change:accessible-description",
    "object:state-changed:focused") from the moment it is made; close() ends it.

    Each record is (type, source role, source name, detail1, any_data): the
    source's name is asked when the event is delivered, as a screen reader
    would ask it.
    """

    def __init__(self, *event_types):
        import pyatspi
        self.types = event_types
        self.records = []
        for event_type in event_types:
            pyatspi.Registry.registerEventListener(self._on_event, event_type)

    def _on_event(self, event):
        try:
            source = event.source
            self.records.append((event.type, source.getRoleName(), source.name or "",
                                 event.detail1, event.any_data))
        except Exception:
            pass

    def heard(self, predicate=None, **fields):
        """The records so far that satisfy predicate(record) and whose named
        fields (type, role, name, detail1, data) equal the values given."""
        pump_events()
        keys = ("type", "role", "name", "detail1", "data")
        found = []
        for record in self.records:
            values = dict(zip(keys, record))
            if all(values[k] == v for k, v in fields.items()) and (predicate is None or predicate(record)):
                found.append(record)
        return found

    def close(self):
        import pyatspi
        for event_type in self.types:
            try:
                pyatspi.Registry.deregisterEventListener(self._on_event, event_type)
            except Exception:
                pass
