#!/usr/bin/env python3
# Asks the window manager of $DISPLAY to minimise or to restore and activate
# the top-level window of the given name, as the operator's task bar would:
#   x_window.py iconify <name>    (WM_CHANGE_STATE IconicState, as XIconifyWindow)
#   x_window.py activate <name>   (_NET_ACTIVE_WINDOW from a pager)
#   x_window.py close <name>      (_NET_CLOSE_WINDOW: the frame's close button)
#   x_window.py map <name>        (a map request, as a pager deiconifies)
#   x_window.py state <name>      prints the window's WM_STATE: Normal, Iconic,
#                                 Withdrawn or none
# Exits non-zero when no such window is there.
import ctypes
import sys

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                           ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                   ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("client", ClientMessage), ("pad", ctypes.c_long * 24)]


x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("x_window: no display")
root = x11.XDefaultRootWindow(display)
WM_STATE = x11.XInternAtom(display, b"WM_STATE", 0)


def wm_state(window):
    kind, form, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
    data = ctypes.c_void_p()
    if x11.XGetWindowProperty(display, window, WM_STATE, 0, 2, 0, WM_STATE, ctypes.byref(kind), ctypes.byref(form),
                              ctypes.byref(count), ctypes.byref(after), ctypes.byref(data)) != 0:
        return None
    state = None
    if data.value and count.value >= 1:
        state = ctypes.cast(data, ctypes.POINTER(ctypes.c_long))[0]
    if data.value:
        x11.XFree(data)
    return state


def find(window, name):
    # The client window of that name: the one that carries WM_STATE, below a
    # window manager's frame or at the root.
    text = ctypes.c_char_p()
    if x11.XFetchName(display, window, ctypes.byref(text)) and text.value is not None:
        found = text.value.decode("latin-1") == name
        if found and (wm_state(window) is not None or window != root):
            return window
    parent, top = ctypes.c_ulong(), ctypes.c_ulong()
    children = ctypes.POINTER(ctypes.c_ulong)()
    count = ctypes.c_uint()
    if not x11.XQueryTree(display, window, ctypes.byref(top), ctypes.byref(parent), ctypes.byref(children),
                          ctypes.byref(count)):
        return None
    result = None
    for index in range(count.value):
        result = find(children[index], name)
        if result:
            break
    if children:
        x11.XFree(children)
    return result


def send(window, message, values):
    event = Event()
    event.client.type = 33  # ClientMessage
    event.client.window = window
    event.client.message_type = x11.XInternAtom(display, message, 0)
    event.client.format = 32
    for index, value in enumerate(values):
        event.client.data[index] = value
    # SubstructureRedirectMask | SubstructureNotifyMask
    x11.XSendEvent(display, root, 0, (1 << 20) | (1 << 19), ctypes.byref(event))


command, name = sys.argv[1], sys.argv[2]
window = find(root, name)
if not window:
    sys.exit("x_window: no window named %r" % name)
if command == "iconify":
    send(window, b"WM_CHANGE_STATE", [3])
elif command == "activate":
    send(window, b"_NET_ACTIVE_WINDOW", [2, 0, 0])
elif command == "close":
    send(window, b"_NET_CLOSE_WINDOW", [0, 2])
elif command == "map":
    x11.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XMapWindow(display, window)
elif command == "state":
    print({None: "none", 0: "Withdrawn", 1: "Normal", 3: "Iconic"}.get(wm_state(window), "other"))
else:
    sys.exit("x_window: unknown command " + command)
x11.XSync(display, 0)
x11.XCloseDisplay(display)
