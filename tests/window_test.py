#!/usr/bin/env python3
"""A real window under Xvfb: the program opens at the display's size, takes
keys from the X keyboard, and closing the window (the close button's
WM_DELETE_WINDOW message) ends it at once with status 0, from every wait.
Usage: window_test.py BUILD_DIR   (run under xvfb-run)"""
import ctypes
import ctypes.util
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xwindow as xw  # noqa: E402  (opens the X display)
from xwindow import display, press_close, xdotool  # noqa: E402

build = sys.argv[1]
x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


x11.XGetImage.restype = ctypes.POINTER(XImage)
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                          ctypes.c_ulong, ctypes.c_int]

# Palette colours the waits are recognised by.
BACKGROUND_OF_TITLE, QUESTION_PANEL, HELP_BOX, MARKS, PROMPT_BOX, YELLOW = (
    (58, 34, 96), (22, 44, 86), (18, 64, 44), (255, 196, 206), (88, 90, 104), (255, 232, 110))


def pixels_of(window, width, height, colour, x0, y0, x1, y1):
    """How many pixels of the window show `colour` inside the dot rectangle
    (x0, y0)-(x1, y1) of the 1440 x 900 screen, scaled and letterboxed."""
    scale = min(width / 1440, height / 900)
    left, top = (width - round(1440 * scale)) // 2, (height - round(900 * scale)) // 2
    px0, py0 = left + int(x0 * scale), top + int(y0 * scale)
    w, h = max(1, int((x1 - x0) * scale)), max(1, int((y1 - y0) * scale))
    image = x11.XGetImage(display, window, px0, py0, w, h, 0xFFFFFFFF, 2)  # ZPixmap
    assert image, "cannot read the window's pixels"
    im = image.contents
    assert im.bits_per_pixel == 32, f"{im.bits_per_pixel} bits a pixel"
    data = ctypes.string_at(im.data, im.bytes_per_line * im.height)
    want = bytes((colour[2], colour[1], colour[0]))
    return sum(data[y * im.bytes_per_line + 4 * x: y * im.bytes_per_line + 4 * x + 3] == want
               for y in range(im.height) for x in range(im.width))


def last_problem(bank):
    """The program's last problem and the number of blanks of its answer line,
    as the headless player finds them."""
    def state(keys):
        with tempfile.TemporaryDirectory() as scratch:
            path = os.path.join(scratch, "state.json")
            subprocess.run([f"{build}/varnel-play", "--bank", str(bank), "--time", "12:00:00", "--keys", keys,
                            "--state", path], check=True)
            with open(path, encoding="utf-8") as f:
                return json.load(f)
    last = int(state("")["problem_count"])
    # "x": a key pause, if the problem has one, or else a letter in the answer line.
    return last, int(state(f"1{last}{{Enter}}x")["blank_count"])


def close_at(program, keys, name, shows=(), lacks=()):
    """Types the keys, each once the one before is dealt with, checks that the
    window shows (and lacks) the colours in the dot rectangles that identify
    the wait, then presses the close button."""
    proc, window = xw.start(f"{build}/{program}", program)
    xw.keys(window, *keys)
    assert proc.poll() is None, f"{name}: the program ended before the window was closed"
    geometry = xdotool("getwindowgeometry", str(window))
    width, height = map(int, geometry.split("Geometry:")[1].split()[0].split("x"))
    for colour, *rect in shows:
        assert pixels_of(window, width, height, colour, *rect) > 0, f"{name}: no {colour} in {rect}"
    for colour, *rect in lacks:
        assert pixels_of(window, width, height, colour, *rect) == 0, f"{name}: {colour} in {rect}"
    started = time.monotonic()
    press_close(window)
    status = xw.ended(proc)
    assert status is not None, f"{name}: still running after the close button"
    took = time.monotonic() - started
    assert status == 0, f"{name}: exit status {status}"
    print(f"ok  {program}: closed at {name} in {took * 1000:.0f} ms ({geometry.split(chr(10))[2].strip()})")


close_at("varnel1", [], "the menu", shows=[(BACKGROUND_OF_TITLE, 250, 80, 480, 135)])
close_at("varnel1", ["1"], "the start-number entry", shows=[(YELLOW, 288, 270, 900, 286)])
close_at("varnel1", ["1", "2", "Return"], "the answer editor", shows=[(HELP_BOX, 660, 5, 1270, 40)],
         lacks=[(PROMPT_BOX, 570, 623, 734, 646)])
close_at("varnel1", ["1", "2", "Return", "0", "Return", "0", "Return"], "the space prompt",
         shows=[(QUESTION_PANEL, 570, 623, 734, 646)])
close_at("varnel2", ["2"], "the Enter prompt while browsing", shows=[(PROMPT_BOX, 474, 569, 598, 601)])
close_at("varnel1", ["1", "1", "Return"], "the key pause", shows=[(HELP_BOX, 98, 641, 398, 673)])
# Three wrong answers to problem 2 (two blanks each), and three answers of "0"
# in every blank to the last problem (the end-of-bank menu takes none of the
# keys left over, should one of them be right). "x" answers a key pause, or is
# typed and taken back. Both menus draw their line in the marks' colour; only
# the end-of-bank line reaches x 400.
wrong2 = ["0", "Return", "0", "Return"]
close_at("varnel1", ["1", "2", "Return"] + wrong2 + ["space"] + wrong2 + ["space"] + wrong2, "the next-step menu",
         shows=[(MARKS, 16, 630, 340, 646)], lacks=[(MARKS, 400, 630, 760, 646)])
last, blanks = last_problem(1)
zeros = ["0", "Return"] * blanks
close_at("varnel1", ["1", *str(last), "Return", "x", "BackSpace"] + zeros + ["space"] + zeros + ["space"] + zeros,
         "the end-of-bank menu", shows=[(MARKS, 400, 630, 760, 646)])
# No key sequence reaches the error screen (the random-key soak never found one),
# and the shipped programs have no way in for tests: its close is tested headless.
print("window tests passed")
