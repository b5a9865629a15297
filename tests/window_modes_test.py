#!/usr/bin/env python3
"""The window a teacher chooses with VARNEL_WINDOW (maximised, window,
fullscreen), and Alt+Enter switching fullscreen: each opens as asked, fits the
dot screen into itself, passes the pupil's keys to the drill and keeps Alt+Enter
from it, and ends with status 0 from the close button. Without a display the
programs say so and end at once. VARNEL_KEYPAD=1 shows the on-screen keypad,
whose keys reach the drill as the keyboard's do.
Usage: window_modes_test.py BUILD_DIR   (run under xvfb-run, 1366x768)"""
import os
import subprocess
import sys
import tempfile

import xwindow as xw

build = sys.argv[1]
SCREEN = (1366, 768)
TITLE_FILL = (58, 34, 96)    # colour 10: inside the menu's title box
HELP_FILL = (18, 64, 44)     # colour 4: inside the practice screen's key help band
BLACK = (0, 0, 0)
FULLSCREEN = "_NET_WM_STATE_FULLSCREEN"


def open_program(mode, program="varnel1"):
    env = {"VARNEL_WINDOW": mode} if mode is not None else {}
    proc, window = xw.start(f"{build}/{program}", program, env, stderr=subprocess.PIPE)
    return proc, window, xw.wm_state_requests(window)


def shows_menu(window, what):
    assert xw.dot_pixel(window, 250, 136) == TITLE_FILL, f"{what}: no title box where the dot screen puts it"
    assert xw.dot_pixel(window, 230, 100) == BLACK, f"{what}: the title box spills left"


def closes(proc, what):
    status = xw.ended(proc)
    assert status == 0, f"{what}: exit status {status} after the close button"


def each_mode_opens_as_asked():
    proc, window, asked = open_program(None)
    _, _, w, h = xw.geometry(window)
    assert (w, h) == SCREEN, f"default: {w}x{h}, not the whole usable screen"
    assert {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"} <= xw.net_wm_state(window)
    assert ("add", FULLSCREEN) not in asked, "default: asked for fullscreen"
    shows_menu(window, "default")
    xw.press_close(window)
    closes(proc, "default")
    print("ok  unset VARNEL_WINDOW: maximised")

    proc, window, asked = open_program("window")
    x, y, w, h = xw.geometry(window)
    assert w < SCREEN[0] and h < SCREEN[1] and w * 2 > SCREEN[0], f"window: {w}x{h} for a {SCREEN} screen"
    assert abs(w / h - 1440 / 900) < 0.01, f"window: {w}x{h} is not the dot screen's shape"
    assert abs((SCREEN[0] - w) / 2 - x) <= 1 and abs((SCREEN[1] - h) / 2 - y) <= 1, f"window: not centred at {x},{y}"
    assert not xw.net_wm_state(window) & {"_NET_WM_STATE_MAXIMIZED_VERT", FULLSCREEN}
    assert ("add", FULLSCREEN) not in asked, "window: asked for fullscreen"
    shows_menu(window, "window")
    xw.press_close(window)
    closes(proc, "window")
    print(f"ok  VARNEL_WINDOW=window: {w}x{h} centred")

    proc, window, asked = open_program("fullscreen")
    _, _, w, h = xw.geometry(window)
    assert ("add", FULLSCREEN) in asked, f"fullscreen: asked the window manager only {asked}"
    assert (w, h) == SCREEN, f"fullscreen: {w}x{h}, not the whole screen"
    shows_menu(window, "fullscreen")
    xw.press_close(window)
    closes(proc, "fullscreen")
    print("ok  VARNEL_WINDOW=fullscreen: whole screen, fullscreen asked of the window manager")

    proc, window, asked = open_program("bigger")
    _, _, w, h = xw.geometry(window)
    assert (w, h) == SCREEN and ("add", FULLSCREEN) not in asked, "an unknown mode does not open maximised"
    xw.press_close(window)
    closes(proc, "unknown mode")
    message = proc.stderr.read().decode()
    assert "VARNEL_WINDOW=bigger" in message, f"an unknown mode is not reported: {message!r}"
    print("ok  an unknown VARNEL_WINDOW is reported and opens maximised")


def asked_of(window, what):
    """The window manager requests the window makes, once it has made some."""
    return xw.until(what, lambda: xw.wm_state_requests(window))


def alt_enter_switches_and_never_reaches_the_drill():
    proc, window, _ = open_program(None)
    xw.keys(window, "1", "1")   # practice, from problem 1: Enter here would start it
    xw.alt_enter(window)
    asked = asked_of(window, "the fullscreen request")
    assert asked == [("add", FULLSCREEN)], f"Alt+Enter asked {asked}"
    xw.alt_enter(window)
    asked = asked_of(window, "the request to leave fullscreen")
    assert ("remove", FULLSCREEN) in asked, f"the second Alt+Enter asked {asked}"
    assert xw.dot_pixel(window, 960, 22) == BLACK, "Alt+Enter reached the drill as Enter"
    xw.keys(window, "Return")
    assert xw.took_keys_sent(window), f"the drill took {xw.keys_taken(window)} keys: Alt+Enter reached it"
    assert xw.dot_pixel(window, 960, 22) == HELP_FILL, "Enter after Alt+Enter did not start the practice"
    assert proc.poll() is None, "the program ended before the close button"
    xw.press_close(window)
    closes(proc, "practice after Alt+Enter")
    print("ok  Alt+Enter asks for fullscreen and back; the drill sees only the Enter after it")


def leaving_fullscreen_gives_the_window_with_its_close_button():
    proc, window, _ = open_program("window")
    framed = xw.geometry(window)[2:]
    xw.press_close(window)
    closes(proc, "window")

    proc, window, _ = open_program("fullscreen")
    xw.alt_enter(window)
    asked = asked_of(window, "the request to leave fullscreen")
    assert ("remove", FULLSCREEN) in asked, f"Alt+Enter in fullscreen asked {asked}"
    xw.until(f"the {framed[0]}x{framed[1]} window (now {xw.geometry(window)[2:]})",
             lambda: xw.geometry(window)[2:] == framed)
    xw.until("the menu drawn again in the smaller window",
             lambda: xw.dot_pixel(window, 250, 136) == TITLE_FILL and xw.dot_pixel(window, 230, 100) == BLACK)
    xw.key_that_ends(window, "3")   # the menu's end
    status = xw.ended(proc)
    assert status == 0, f"the menu's end after leaving fullscreen: status {status}"
    print(f"ok  leaving fullscreen gives the {framed[0]}x{framed[1]} window; the menu's keys still work")


def without_a_display_each_program_refuses_at_once():
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    for program in ("varnel1", "varnel2"):
        run = subprocess.run([f"{build}/{program}"], env=env, capture_output=True, timeout=20)
        said = run.stderr.decode()
        assert run.returncode != 0, f"{program} without a display: status 0"
        assert "no display found" in said and "xvfb-run" in said, f"{program} without a display said {said!r}"
    # The driver SDL_VIDEODRIVER names is taken: the program comes to its menu and waits there.
    fd, log = tempfile.mkstemp(prefix="varnel-wait-")
    os.close(fd)
    asked = subprocess.Popen([f"{build}/varnel1"], env=dict(env, SDL_VIDEODRIVER="dummy", VARNEL_WAIT_LOG=log))
    xw.until("the menu with SDL_VIDEODRIVER=dummy, or the program's end",
             lambda: asked.poll() is not None or open(log).read().split() == ["0"])
    status = asked.poll()
    asked.kill()
    asked.wait()
    os.unlink(log)
    assert status is None, f"SDL_VIDEODRIVER=dummy ended by itself with status {status}"
    print("ok  without a display both programs say so and end; SDL_VIDEODRIVER=dummy still runs")


def press_pad_at(window, x, y, action="click"):
    """A press on the keypad's key at dot (x, y)."""
    _, _, w, h = xw.geometry(window)
    scale = min(w / 1440, h / 900)
    ox, oy = (w - int(1440 * scale)) // 2, (h - int(900 * scale)) // 2
    xw.press_pad(window, ox + int(x * scale), oy + int(y * scale), action)


PAD_KEY, PAD_PRESSED = (20, 26, 42), (150, 160, 230)   # colours 12 and 3
PAD = {"1": (60, 716), "2": (180, 716), "5": (540, 716), "決定": (1260, 863)}


def the_keypad_shows_when_asked_and_its_keys_reach_the_drill():
    proc, window, _ = open_program(None)
    assert xw.dot_pixel(window, 10, 690) == BLACK, "the keypad shows without being asked for"
    xw.press_close(window)
    closes(proc, "no keypad")

    proc, window = xw.start(f"{build}/varnel1", "varnel1", {"VARNEL_KEYPAD": "1"})
    assert xw.dot_pixel(window, 10, 690) == PAD_KEY, "VARNEL_KEYPAD=1 shows no keypad in the band"
    for key in ("1", "2", "決定"):   # practice, from problem 2
        press_pad_at(window, *PAD[key])
    assert xw.dot_pixel(window, 960, 22) == HELP_FILL, "the keypad's 1, 2, 決定 did not start the practice"
    press_pad_at(window, *PAD["5"], "mousedown")
    assert xw.dot_pixel(window, 490, 690) == PAD_PRESSED, "a key held down does not show it"
    xw.xdotool("mouseup", "1")
    xw.until("the key let go shown as such", lambda: xw.dot_pixel(window, 490, 690) == PAD_KEY)
    typed = sum(xw.dot_pixel(window, x, y) != BLACK for x in range(496, 512, 2) for y in range(576, 592, 2))
    assert typed > 0, "the keypad's 5 typed nothing on the answer line"
    xw.press_close(window)
    closes(proc, "keypad")
    print("ok  VARNEL_KEYPAD=1: the keypad in the band, keys pressed visibly, reaching the drill")


without_a_display_each_program_refuses_at_once()
the_keypad_shows_when_asked_and_its_keys_reach_the_drill()
each_mode_opens_as_asked()
alt_enter_switches_and_never_reaches_the_drill()
leaving_fullscreen_gives_the_window_with_its_close_button()
print("window mode tests passed")
