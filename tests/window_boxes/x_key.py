#!/usr/bin/env python3
# Presses and releases one key (an X keysym name, e.g. Return) on the X screen
# of $DISPLAY through the XTest extension, as an operator's key would arrive
# at the window that has the focus.
import ctypes
import sys

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("x_key: no display")
d = ctypes.c_void_p(display)
code = x11.XKeysymToKeycode(d, x11.XStringToKeysym(sys.argv[1].encode()))
if code == 0:
    sys.exit("x_key: no key " + sys.argv[1])
xtst.XTestFakeKeyEvent(d, code, 1, 0)
xtst.XTestFakeKeyEvent(d, code, 0, 0)
x11.XSync(d, 0)
x11.XCloseDisplay(d)
