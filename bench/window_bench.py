#!/usr/bin/env python3
"""Benchmarks of the real programs in a window, under Xvfb (./dev bench runs it):

  start-up   time from process start to the first presented frame of the main
             menu, against bench/bare_window.cpp (a bare SDL2 window presenting
             one frame through the same drawing path); median of several runs
  idle CPU   processor time used in 10 s at the main menu and in the answer editor
  memory     peak resident memory after browsing every problem and practising
             one, read from the kernel (VmHWM)

The programs log the moment of every frame that shows new pixels when
VARNEL_PRESENT_LOG names a file; the main menu's frame is the last one logged
once the menu has been drawn and nothing changes any more.
Usage: window_bench.py BUILD_DIR [ROUNDS]   (run under xvfb-run)"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from xwindow import press_close, xdotool  # noqa: E402  (opens the X display)

build = sys.argv[1]
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 15


def press(window, keys):
    for key in keys:
        xdotool("type" if len(key) == 1 else "key", "--window", str(window), key)
        time.sleep(0.12)


def frames(log):
    with open(log) as f:
        return [int(line) for line in f if line.strip()]


def start(program, log):
    env = dict(os.environ, VARNEL_PRESENT_LOG=log, XDG_DATA_HOME=f"{build}/bench-data")   # its record, not the user's
    t0 = time.monotonic_ns()
    proc = subprocess.Popen([f"{build}/{program}"], env=env)
    return proc, t0


def window_of(program):
    return int(xdotool("search", "--sync", "--onlyvisible", "--name", f"^{program}$").split()[0])


def end(proc, window):
    press_close(window)
    assert proc.wait(timeout=5) == 0


def cpu_ns(pid):
    with open(f"/proc/{pid}/schedstat") as f:
        return int(f.read().split()[0])


def peak_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def startup_ms(program):
    with tempfile.TemporaryDirectory() as d:
        log = os.path.join(d, "frames")
        proc, t0 = start(program, log)
        if program == "bare-window":
            assert proc.wait(timeout=10) == 0
        else:
            window = window_of(program)
            time.sleep(1.0)   # the menu is drawn long before; nothing changes after it
            end(proc, window)
        shown = frames(log)
        assert shown, f"{program}: no frame logged"
        return (shown[-1] - t0) / 1e6


def idle_cpu_percent(program, keys, seconds=10):
    with tempfile.TemporaryDirectory() as d:
        proc, _ = start(program, os.path.join(d, "frames"))
        window = window_of(program)
        time.sleep(0.5)
        press(window, keys)
        time.sleep(1.0)
        before = cpu_ns(proc.pid)
        time.sleep(seconds)
        used = cpu_ns(proc.pid) - before
        end(proc, window)
        return 100.0 * used / (seconds * 1e9)


def peak_memory_kb(program, count):
    with tempfile.TemporaryDirectory() as d:
        proc, _ = start(program, os.path.join(d, "frames"))
        window = window_of(program)
        time.sleep(0.5)
        # Browse every problem (Enter after each), then practise problem 1 with a wrong answer.
        press(window, ["2"] + ["Return"] * count)
        time.sleep(0.5)
        press(window, ["1", "1", "Return", "0", "Return", "0", "Return", "0", "Return"])
        time.sleep(0.5)
        peak = peak_kb(proc.pid)
        end(proc, window)
        return peak


def main():
    geometry = xdotool("getdisplaygeometry").strip()
    print(f"display {geometry} (Xvfb), {rounds} rounds of start-up")
    startup_ms("bare-window")   # the first start of anything warms the caches of the system
    startup_ms("varnel1")
    results = {}
    for program in ("bare-window", "varnel1", "varnel2"):
        results[program] = []
    for _ in range(rounds):
        for program in results:
            results[program].append(startup_ms(program))
    bare = statistics.median(results["bare-window"])
    print(f"start-up to the first frame: bare SDL2 window {bare:.1f} ms (median)")
    for program in ("varnel1", "varnel2"):
        ms = statistics.median(results[program])
        print(f"start-up to the main menu's frame: {program} {ms:.1f} ms, ratio {ms / bare:.2f} (goal at most 1.3)")

    for program in ("varnel1", "varnel2"):
        menu = idle_cpu_percent(program, [])
        editor = idle_cpu_percent(program, ["1", "2", "Return"])
        print(f"CPU in 10 s: {program} at the menu {menu:.2f} %, in the answer editor {editor:.2f} % "
              f"of one core (goal under 1 %)")

    for program, count in (("varnel1", 11), ("varnel2", 10)):
        print(f"peak resident memory: {program} {peak_memory_kb(program, count) / 1024:.1f} MB (goal under 48 MB)")


main()
