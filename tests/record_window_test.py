#!/usr/bin/env python3
"""The practice record of a real window that ends in the middle of a problem:
problem 2, answered wrong once, is kept as its 中断 row (回数 1, 入力 "0，0"),
exactly once, whether the window is closed, the program is hung up on (SIGHUP,
a pupil logging off) or told to end (SIGTERM), killed (kill -9: the row is made when the record is next
read), or loses its X display (the session ended). And a record that cannot be
kept is said in the window: its title, and a line in the band under the drill.
Each case has an X server of its own (one of them is ended).
Usage: record_window_test.py BUILD_DIR"""
import csv
import ctypes
import ctypes.util
import io
import os
import signal
import subprocess
import sys
import tempfile
import time

build = sys.argv[1]
x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XGetPixel.restype = ctypes.c_ulong
x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_char * 128)]

YELLOW = (255, 232, 110)   # the drill's yellow


def until(what, check, within=10.0):
    deadline = time.monotonic() + within
    while True:
        value = check()
        if value:
            return value
        assert time.monotonic() < deadline, f"timed out waiting for {what}"
        time.sleep(0.05)


class Screen:
    """An Xvfb of its own, and the program in it."""

    def __init__(self, data_home):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1366x768x24", "-nolisten",
                                        "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.display = ":" + f.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display, XDG_DATA_HOME=data_home)
        self.env.pop("WAYLAND_DISPLAY", None)

    def start(self, program="varnel1"):
        self.proc = subprocess.Popen([f"{build}/{program}"], env=self.env, stderr=subprocess.PIPE, text=True)
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", f"^{program}"],
                               env=self.env, capture_output=True, text=True, timeout=20)
        self.window = found.stdout.split()[0]
        return self

    def keys(self, *names):
        for name in names:
            subprocess.run(["xdotool", "type" if len(name) == 1 else "key", "--window", self.window, name],
                           env=self.env, check=True)
            time.sleep(0.1)

    def title(self):
        return subprocess.run(["xdotool", "getwindowname", self.window], env=self.env, capture_output=True,
                              text=True).stdout.strip()

    def yellow_in_band(self):
        """Whether the band under the drill (under dot line 680) shows the drill's yellow."""
        display = x11.XOpenDisplay(self.display.encode())
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", self.window], env=self.env,
                                  capture_output=True, text=True).stdout
        v = dict(line.split("=", 1) for line in geometry.split())
        w, h = int(v["WIDTH"]), int(v["HEIGHT"])
        scale = min(w / 1440, h / 900)
        top = (h - int(900 * scale)) // 2
        y0, y1 = top + int(690 * scale), top + int(740 * scale)
        image = x11.XGetImage(display, int(self.window), 0, y0, w, y1 - y0, 0xFFFFFFFF, 2)
        found = False
        for y in range(0, y1 - y0, 2):
            for x in range(0, w, 2):
                p = x11.XGetPixel(image, x, y)
                if ((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) == YELLOW:
                    found = True
                    break
            if found:
                break
        x11.XCloseDisplay(display)
        return found

    def press_close(self):
        """What the title bar's close button does: WM_DELETE_WINDOW to the window."""
        display = x11.XOpenDisplay(self.display.encode())
        event = ClientMessage(type=33, window=int(self.window), format=32,
                              message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
        event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, int(self.window), 0, 0, ctypes.byref(event))
        x11.XFlush(display)
        x11.XCloseDisplay(display)

    def close(self):
        if self.server.poll() is None:
            self.server.terminate()
            self.server.wait()


def record_rows(data_home):
    """The record's rows as --record leaves them (after turning what was left under way into rows)."""
    subprocess.run([f"{build}/varnel1", "--record"], env=dict(os.environ, XDG_DATA_HOME=data_home),
                   capture_output=True, check=True)
    with open(os.path.join(data_home, "varnel", "record.csv"), encoding="utf-8-sig") as f:
        rows = list(csv.reader(io.StringIO(f.read().replace("\u2060", ""))))
    return rows[1:]


def under_way_answered(data_home):
    """Whether the problem under way has its answer kept on the disk."""
    folder = os.path.join(data_home, "varnel", "under-way")
    for name in os.listdir(folder) if os.path.isdir(folder) else []:
        if name.endswith(".row"):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                if "0，0" in f.read():
                    return True
    return False


ENDS = {
    "the close button": lambda s: s.press_close(),
    "SIGHUP": lambda s: s.proc.send_signal(signal.SIGHUP),
    "SIGTERM": lambda s: s.proc.send_signal(signal.SIGTERM),
    "kill -9": lambda s: s.proc.kill(),
    "the X server ended": lambda s: s.close(),
}

for how, end in ENDS.items():
    with tempfile.TemporaryDirectory() as data_home:
        screen = Screen(data_home)
        try:
            screen.start().keys("1", "2", "Return", "0", "Return", "0", "Return")
            until("the answer kept as under way", lambda: under_way_answered(data_home))
            end(screen)
            status = screen.proc.wait(timeout=10)
            err = screen.proc.stderr.read()
        finally:
            screen.close()
        if how in ("the close button", "SIGHUP", "SIGTERM"):
            assert status == 0, f"{how}: status {status}: {err}"
        rows = record_rows(data_home)
        assert len(rows) == 1, f"{how}: {len(rows)} rows: {rows}"
        problem, result, answers, typed = rows[0][6], rows[0][9], rows[0][10], rows[0][12]
        assert (problem, result, answers, typed) == ("2", "中断", "1", "0，0"), f"{how}: {rows[0]}"
        assert len(record_rows(data_home)) == 1, f"{how}: the row made twice"
        print(f"ok  {how}: problem 2 kept as its 中断 row (status {status})")

# A record that cannot be kept: its folder is a file.
with tempfile.TemporaryDirectory() as scratch:
    blocked = os.path.join(scratch, "a-file")
    open(blocked, "w").close()
    screen = Screen(blocked)
    try:
        screen.start()
        title = until("the window's title to say so", lambda: "練習の記録を保存できません" in screen.title() and
                      screen.title())
        until("the band to say so", screen.yellow_in_band)
        screen.keys("1", "2", "Return")
        time.sleep(0.3)
        assert screen.proc.poll() is None, "the drill ended"
        screen.proc.terminate()
        screen.proc.wait(timeout=10)
    finally:
        screen.close()
    print(f"ok  a record that cannot be kept is said: {title}")
print("record window tests passed")
