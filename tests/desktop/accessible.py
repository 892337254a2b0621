# SPDX-License-Identifier: GPL-3.0-or-later
"""The program as a screen reader meets it: its accessible objects read over
the accessibility bus (AT-SPI), and the events it sends there. pyatspi finds
the program and hears its events; the objects are read with calls of our
own, sent a level of the tree at a time.

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

    def __init__(self, ref):
        self.ref = ref  # (bus name, object path)
        self.role = ""
        self.name = ""
        self.showing = self.enabled = self.focused = False
        self.extents = None
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
        found = _bus().calls([self.ref + ("org.a11y.atspi.Text", "GetText", ("(ii)", (0, -1)))])[0]
        return found[0] if found is not None else self.name

    def character_count(self):
        found = _bus().calls([self.ref + _property("org.a11y.atspi.Text", "CharacterCount")])[0]
        return found[0] if found is not None else -1

    def __repr__(self):
        return "<%s %r%s>" % (self.role, self.name[:40], "" if self.showing else " hidden")


def _property(interface, name):
    return ("org.freedesktop.DBus.Properties", "Get", ("(ss)", (interface, name)))


_SHOWING, _ENABLED, _FOCUSED = 25, 8, 12  # AT-SPI's state numbers
_SCREEN_COORDS = 0


class _AccessibilityBus:
    """A connection of this process's own to the accessibility bus, on which
    the calls of a whole snapshot level go out at once: reading an object
    takes several calls, and one after the other they made a snapshot of
    the main window last half a second."""

    def __init__(self):
        from gi.repository import Gio
        session = Gio.DBusConnection.new_for_address_sync(
            os.environ["DBUS_SESSION_BUS_ADDRESS"],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None, None)
        self.session_address = os.environ["DBUS_SESSION_BUS_ADDRESS"]
        address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None,
                                    Gio.DBusCallFlags.NONE, 10000, None).unpack()[0]
        session.close_sync(None)
        self.connection = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None, None)

    def calls(self, requests, timeout=DEFAULT_TIMEOUT):
        """Sends every (bus name, path, interface, method, args) request at
        once; returns their unpacked replies in order, None for an error."""
        from gi.repository import Gio, GLib
        results = [None] * len(requests)
        pending = [len(requests)]

        def done(connection, result, index):
            try:
                results[index] = connection.call_finish(result).unpack()
            except GLib.Error:
                pass
            pending[0] -= 1
        for index, (bus, path, interface, method, args) in enumerate(requests):
            parameters = GLib.Variant(*args) if args is not None else None
            self.connection.call(bus, path, interface, method, parameters, None, Gio.DBusCallFlags.NONE,
                                 int(timeout * 1000), None, done, index)
        context = GLib.MainContext.default()
        while pending[0]:
            context.iteration(True)
        return results


_connection = None


def _bus():
    global _connection
    if _connection is None or _connection.session_address != os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        _connection = _AccessibilityBus()
    return _connection


def _snapshot(ref, include_hidden):
    """The object ref and what lies under it, read level by level. Hidden
    objects are listed, but what lies in them only with include_hidden."""
    from gi.repository import Atspi
    root = Node(ref)
    level, depth = [root], 0
    while level and depth <= 30:
        asked = []
        for node in level:
            asked += [node.ref + _property("org.a11y.atspi.Accessible", "Name"),
                      node.ref + ("org.a11y.atspi.Accessible", "GetRole", None),
                      node.ref + ("org.a11y.atspi.Accessible", "GetState", None),
                      node.ref + ("org.a11y.atspi.Component", "GetExtents", ("(u)", (_SCREEN_COORDS,))),
                      node.ref + ("org.a11y.atspi.Accessible", "GetChildren", None)]
        replies = _bus().calls(asked)
        below = []
        for i, node in enumerate(level):
            name, role, state, extents, children = replies[5 * i:5 * i + 5]
            node.name = (name[0] if name else "") or ""
            node.role = Atspi.role_get_name(Atspi.Role(role[0])) if role else ""
            bits = state[0] if state else [0, 0]
            node.showing, node.enabled, node.focused = (bool(bits[n // 32] & (1 << n % 32))
                                                        for n in (_SHOWING, _ENABLED, _FOCUSED))
            if node.showing and extents:
                node.extents = tuple(extents[0])
            # The application object itself is never "showing".
            if children and (node is root or node.showing or include_hidden):
                node.children = [Node((bus, path)) for bus, path in children[0]]
                below += node.children
        level, depth = below, depth + 1
    return root


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
        root = _snapshot(_ref(self.app()), include_hidden)
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
            node = _snapshot(_ref(acc), False)
            if node.showing:
                _place_relative(node, node)
                menus.append(node)
        return menus


def _ref(acc):
    """(bus name, object path) of a pyatspi object."""
    return (acc.app.bus_name, acc.path)


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
