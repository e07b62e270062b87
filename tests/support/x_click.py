#!/usr/bin/env python3
# Clicks the left mouse button at x y on the X screen of $DISPLAY, through the
# XTest extension, as an operator's click would arrive.
import ctypes
import sys

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("x_click: no display")
d = ctypes.c_void_p(display)
x, y = int(sys.argv[1]), int(sys.argv[2])
xtst.XTestFakeMotionEvent(d, -1, x, y, 0)
xtst.XTestFakeButtonEvent(d, 1, 1, 0)
xtst.XTestFakeButtonEvent(d, 1, 0, 0)
x11.XSync(d, 0)
x11.XCloseDisplay(d)
