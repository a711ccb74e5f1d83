"""Dropping files onto an X window the way a Linux file manager does: the
XDND protocol (version 5) with the type text/uri-list, spoken by a small X
client through python3-xlib."""

import sys
import time
import urllib.parse

try:
    import Xlib  # noqa: F401
except ImportError:  # Debian's python3-xlib, under another Python of the same version
    sys.path.append("/usr/lib/python3/dist-packages")
from Xlib import X, Xatom, display as xdisplay  # noqa: E402
from Xlib.protocol import event  # noqa: E402


class DropFailed(AssertionError):
    pass


def drop_files(display_name, target, x_root, y_root, paths, seconds=10.0):
    """Drops `paths` (Unix paths) onto the X window `target` at the root
    point (x_root, y_root) and waits until the target has finished."""
    d = xdisplay.Display(display_name)
    try:
        return _Drop(d, target, paths).run(x_root, y_root, seconds)
    finally:
        d.close()


class _Drop:
    def __init__(self, d, target, paths):
        self.d = d
        self.atom = lambda name: d.intern_atom(name)
        self.target = d.create_resource_object("window", target)
        self.source = d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent,
                                                    X.InputOnly, X.CopyFromParent)
        self.uri_list = self.atom("text/uri-list")
        self.data = "".join("file://%s\r\n" % urllib.parse.quote(p) for p in paths).encode()

    def send(self, name, *longs):
        data = (32, [self.source.id] + list(longs) + [0] * (4 - len(longs)))
        message = event.ClientMessage(window=self.target, client_type=self.atom(name), data=data)
        self.target.send_event(message)
        self.d.flush()

    def wait(self, name, deadline):
        """Serves selection requests until a client message `name` arrives."""
        while time.monotonic() < deadline:
            if not self.d.pending_events():
                time.sleep(0.01)
                continue
            e = self.d.next_event()
            if e.type == X.SelectionRequest:
                self.answer(e)
            elif e.type == X.ClientMessage and e.client_type == self.atom(name):
                return e.data[1]
        raise DropFailed("no %s from the target" % name)

    def answer(self, request):
        prop = request.property or request.target
        if request.target == self.uri_list:
            request.requestor.change_property(prop, self.uri_list, 8, self.data)
        else:
            prop = X.NONE
        notify = event.SelectionNotify(time=request.time, requestor=request.requestor,
                                       selection=request.selection, target=request.target,
                                       property=prop)
        request.requestor.send_event(notify)
        self.d.flush()

    def run(self, x_root, y_root, seconds):
        deadline = time.monotonic() + seconds
        aware = self.target.get_full_property(self.atom("XdndAware"), Xatom.ATOM)
        if aware is None:
            raise DropFailed("the target is not XdndAware")
        self.source.set_selection_owner(self.atom("XdndSelection"), X.CurrentTime)
        self.send("XdndEnter", 5 << 24, self.uri_list)
        self.send("XdndPosition", 0, (x_root << 16) | y_root, X.CurrentTime,
                  self.atom("XdndActionCopy"))
        if not self.wait("XdndStatus", deadline)[1] & 1:
            raise DropFailed("the target refused the drop")
        self.send("XdndDrop", 0, X.CurrentTime)
        self.wait("XdndFinished", deadline)
