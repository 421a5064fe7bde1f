"""The X display of an end-to-end test, through libX11 and libXtst.

Reads pixels of the screen (XGetImage on the root window) and types keys
with XTest, pressed and released as a person would, without needing
programs beyond the X libraries the build already uses.
"""
import ctypes
import ctypes.util
import time

_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")

_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XGetImage.restype = ctypes.c_void_p
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                           ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_x11.XGetPixel.restype = ctypes.c_ulong
_x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
_x11.XStringToKeysym.restype = ctypes.c_ulong
_x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
_x11.XKeysymToKeycode.restype = ctypes.c_ubyte
_x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
_xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

_ALL_PLANES = ctypes.c_ulong(-1).value
_Z_PIXMAP = 2


class Screen:
    def __init__(self, name):
        self.dpy = _x11.XOpenDisplay(name.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display " + name)
        self.root = _x11.XDefaultRootWindow(self.dpy)
        self.width = _x11.XDisplayWidth(self.dpy, 0)
        self.height = _x11.XDisplayHeight(self.dpy, 0)
        self.image = None

    def close(self):
        _x11.XCloseDisplay(self.dpy)

    def capture(self):
        """Takes a picture of the whole screen, read by pixel()."""
        _x11.XSync(self.dpy, 0)
        self.image = _x11.XGetImage(self.dpy, self.root, 0, 0, self.width, self.height, _ALL_PLANES, _Z_PIXMAP)
        return bool(self.image)

    def pixel(self, x, y):
        """(r, g, b) of the last capture; None outside the screen."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        v = _x11.XGetPixel(self.image, x, y)
        return ((v >> 16) & 255, (v >> 8) & 255, v & 255)

    def find(self, colour, step=4):
        """The top-left-most pixel of a colour (scanning rows), or None."""
        for y in range(0, self.height):
            for x in range(0, self.width, step):
                if self.pixel(x, y) == colour:
                    while x > 0 and self.pixel(x - 1, y) == colour:
                        x -= 1
                    return (x, y)
        return None

    def key(self, keysym, down):
        code = _x11.XKeysymToKeycode(self.dpy, _x11.XStringToKeysym(keysym.encode()))
        _xtst.XTestFakeKeyEvent(self.dpy, code, 1 if down else 0, 0)
        _x11.XFlush(self.dpy)
        time.sleep(0.02)

    def tap(self, keysym):
        self.key(keysym, True)
        self.key(keysym, False)

    def save_ppm(self, path):
        """The last capture as a binary PPM picture, for a failing test's record."""
        with open(path, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (self.width, self.height))
            row = bytearray()
            for y in range(self.height):
                for x in range(self.width):
                    row += bytes(self.pixel(x, y))
            f.write(row)
