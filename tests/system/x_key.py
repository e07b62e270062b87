#!/usr/bin/env python3
# Types one key, or one key with modifiers, on the X screen of $DISPLAY through
# the XTest extension, into the window that has the keyboard focus, as an
# operator's keystroke would arrive:  x_key.py Return;  x_key.py Control_L x  (Ctrl+X)
import ctypes
import sys

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("x_key: no display")
codes = []
for name in sys.argv[1:]:
    code = x11.XKeysymToKeycode(display, x11.XStringToKeysym(name.encode()))
    if not code:
        sys.exit("x_key: no key " + name)
    codes.append(code)
for code in codes:
    xtst.XTestFakeKeyEvent(display, code, 1, 0)
for code in reversed(codes):
    xtst.XTestFakeKeyEvent(display, code, 0, 0)
x11.XSync(display, 0)
x11.XCloseDisplay(display)
