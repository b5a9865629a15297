"""Driving a program's window on an X display (Xvfb) from a test: start it,
find its window, type keys, read pixels, close it with the close button's
WM_DELETE_WINDOW message, and hear the requests it sends the window manager.
Each step waits for what it needs, never for a time: the program's own window
shown and waiting for a key, each key dealt with before the next is sent (the
drill drops keys typed ahead of some screens), the program ended."""
import atexit
import ctypes
import ctypes.util
import os
import subprocess
import tempfile
import time

_x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XInternAtom.restype = ctypes.c_ulong
_x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x11.XGetAtomName.restype = ctypes.c_void_p
_x11.XGetAtomName.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x11.XFree.argtypes = [ctypes.c_void_p]
_x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
_x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
_x11.XPending.argtypes = [ctypes.c_void_p]
_x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XGetImage.restype = ctypes.c_void_p
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                           ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_x11.XGetPixel.restype = ctypes.c_ulong
_x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
_x11.XDestroyImage.argtypes = [ctypes.c_void_p]

_CLIENT_MESSAGE = 33
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_Z_PIXMAP = 2


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_char * 128)]


display = _x11.XOpenDisplay(None)
assert display, "no X display (run under xvfb-run)"
root = _x11.XDefaultRootWindow(display)
# Requests to the window manager are sent to the root window; with no window
# manager running, the test hears them in its place.
_x11.XSelectInput(display, root, _SUBSTRUCTURE_NOTIFY_MASK)
_x11.XSync(display, 0)


def atom(name):
    return _x11.XInternAtom(display, name.encode(), 0)


def atom_name(value):
    if not value:
        return ""
    p = _x11.XGetAtomName(display, value)
    name = ctypes.string_at(p).decode()
    _x11.XFree(p)
    return name


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=True).stdout


def until(what, check, within=30.0):
    """Whatever check() gives once it is true; fails naming `what` if it is
    not true within `within` seconds (a bound, not a wait: it returns at once)."""
    deadline = time.monotonic() + within
    while True:
        value = check()
        if value:
            return value
        assert time.monotonic() < deadline, f"timed out waiting for {what}"
        time.sleep(0.02)


# For each window: the file the program says in how many keys it has taken
# whenever it waits with all of them dealt with (VARNEL_WAIT_LOG), and how
# many keys were sent to it.
_waits = {}
_logs = []
atexit.register(lambda: [os.unlink(log) for log in _logs if os.path.exists(log)])


def keys_taken(window):
    """How many keys the program had taken when it last waited, every one dealt with and shown; None before its
    first screen waits."""
    with open(_waits[window][0]) as f:
        lines = f.read().split()
    return int(lines[-1]) if lines else None


def start(path, title, env=None, stderr=None):
    """Starts the program and finds its own window, by its process as well as
    its title: a window of the program before may still be on the display for a
    moment after that program ended. Returns (process, window id) once its
    first screen is shown and it waits for a key."""
    fd, log = tempfile.mkstemp(prefix="varnel-wait-")
    os.close(fd)
    _logs.append(log)
    proc = subprocess.Popen([path] if isinstance(path, str) else path,
                            env=dict(os.environ, VARNEL_WAIT_LOG=log, **(env or {})), stderr=stderr)
    found = subprocess.run(["xdotool", "search", "--sync", "--all", "--onlyvisible", "--pid", str(proc.pid),
                            "--name", f"^{title}$"], capture_output=True, text=True, timeout=60)
    window = int(found.stdout.split()[0])
    _waits[window] = [log, 0]
    until(f"{title}'s first screen", lambda: keys_taken(window) is not None)
    return proc, window


def keys(window, *names):
    """Sends each key once the program has dealt with the one before: one-character
    names are typed as text, longer ones (Return, BackSpace, space) pressed as keys."""
    for name in names:
        xdotool("type" if len(name) == 1 else "key", "--window", str(window), name)
        _waits[window][1] += 1
        sent = _waits[window][1]
        until(f"the program to take {name!r} (key {sent})", lambda: (keys_taken(window) or 0) >= sent)


def took_keys_sent(window):
    """The program has taken the keys sent to it as keys, and no others."""
    return keys_taken(window) == _waits[window][1]


def alt_enter(window):
    """Alt+Enter, which the drill never gets: the caller waits for the mode it asks for."""
    xdotool("key", "--window", str(window), "alt+Return")


def press_pad(window, x, y, action="click"):
    """A click (or only "mousedown") at window pixel (x, y) on a key of the
    on-screen keypad: the press is a key, waited for as keys are."""
    xdotool("mousemove", "--window", str(window), str(x), str(y), action, "1")
    _waits[window][1] += 1
    sent = _waits[window][1]
    until(f"the program to take the keypad's key at {x},{y}", lambda: (keys_taken(window) or 0) >= sent)


def key_that_ends(window, name):
    """Types a key that ends the program. The program may be gone before the
    key's release is sent, which xdotool reports as a failure: not one here."""
    subprocess.run(["xdotool", "type" if len(name) == 1 else "key", "--window", str(window), name],
                   capture_output=True, text=True)


def geometry(window):
    """(x, y, width, height) of the window."""
    out = xdotool("getwindowgeometry", "--shell", str(window))
    v = dict(line.split("=", 1) for line in out.split())
    return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])


def net_wm_state(window):
    """The _NET_WM_STATE atoms set on the window, as names."""
    out = subprocess.run(["xprop", "-id", str(window), "_NET_WM_STATE"], capture_output=True, text=True).stdout
    if "=" not in out:
        return set()
    return {a.strip() for a in out.split("=", 1)[1].split(",")}


def pixel(window, x, y):
    """The colour (r, g, b) at window pixel (x, y)."""
    image = _x11.XGetImage(display, window, x, y, 1, 1, 0xFFFFFFFF, _Z_PIXMAP)
    assert image, f"no image at ({x}, {y})"
    p = _x11.XGetPixel(image, 0, 0)
    _x11.XDestroyImage(image)
    return (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF


def dot_pixel(window, x, y, dots_w=1440, dots_h=900):
    """The colour at dot (x, y) of the dot screen fitted, letterboxed, into the window."""
    _, _, w, h = geometry(window)
    scale = min(w / dots_w, h / dots_h)
    ox, oy = (w - int(dots_w * scale)) // 2, (h - int(dots_h * scale)) // 2
    return pixel(window, ox + int(x * scale), oy + int(y * scale))


def wm_state_requests(window):
    """The _NET_WM_STATE changes the window asked for since the last call:
    ("add" or "remove", state name) in order."""
    requests = []
    event = _ClientMessage()
    _x11.XSync(display, 0)
    while _x11.XPending(display):
        _x11.XNextEvent(display, ctypes.byref(event))
        if (event.type == _CLIENT_MESSAGE and event.window == window
                and event.message_type == atom("_NET_WM_STATE")):
            action = {0: "remove", 1: "add", 2: "toggle"}[event.data[0]]
            for state in (event.data[1], event.data[2]):
                if state:
                    requests.append((action, atom_name(state)))
    return requests


def press_close(window):
    """What the title bar's close button does: WM_DELETE_WINDOW to the window."""
    event = _ClientMessage()
    event.type = _CLIENT_MESSAGE
    event.window = window
    event.message_type = atom("WM_PROTOCOLS")
    event.format = 32
    event.data[0] = atom("WM_DELETE_WINDOW")
    _x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    _x11.XFlush(display)


def ended(proc, within=30.0):
    """The exit status once the program ends, or None if it is still running after `within` seconds."""
    try:
        return proc.wait(timeout=within)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        return None
