#!/usr/bin/env python3
"""A real window under Xvfb: the program opens at the display's size, takes
keys from the X keyboard, and closing the window (the close button's
WM_DELETE_WINDOW message) ends it at once with status 0, from every wait.
Usage: window_test.py BUILD_DIR   (run under xvfb-run)"""
import ctypes
import ctypes.util
import subprocess
import sys
import time

build = sys.argv[1]
x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_char * 128)]


display = x11.XOpenDisplay(None)
assert display, "no X display (run under xvfb-run)"


def press_close(window):
    ev = ClientMessage()
    ev.type = 33  # ClientMessage
    ev.window = window
    ev.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    ev.format = 32
    ev.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(ev))
    x11.XFlush(display)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=True).stdout


def close_at(program, keys, name):
    proc = subprocess.Popen([f"{build}/{program}"])
    window = int(xdotool("search", "--sync", "--onlyvisible", "--name", f"^{program}$").split()[0])
    time.sleep(0.5)
    for key in keys:
        if len(key) == 1:
            xdotool("type", "--window", str(window), key)
        else:
            xdotool("key", "--window", str(window), key)
        time.sleep(0.15)
    time.sleep(0.3)
    assert proc.poll() is None, f"{name}: the program ended before the window was closed"
    geometry = xdotool("getwindowgeometry", str(window))
    started = time.monotonic()
    press_close(window)
    try:
        status = proc.wait(timeout=3)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise AssertionError(f"{name}: still running 3 s after the close button")
    took = time.monotonic() - started
    assert status == 0, f"{name}: exit status {status}"
    print(f"ok  {program}: closed at {name} in {took * 1000:.0f} ms ({geometry.split(chr(10))[2].strip()})")


close_at("varnel1", [], "the menu")
close_at("varnel1", ["1"], "the start-number entry")
close_at("varnel1", ["1", "2", "Return"], "the answer editor")
close_at("varnel1", ["1", "2", "Return", "0", "Return", "0", "Return"], "the space prompt")
close_at("varnel2", ["2"], "the Enter prompt while browsing")
close_at("varnel1", ["1", "1", "Return"], "the key pause")
print("window tests passed")
