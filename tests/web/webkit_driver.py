#!/usr/bin/python3
"""One WebKit page for the end-to-end tests (tests/web/engines.mjs), run under Xvfb.

A GTK window of the viewport's size holds a WebKit2 view; the device pixel
ratio is GTK's scale (GDK_SCALE). Commands arrive as JSON lines on stdin and
each gets one JSON line back on stdout: {"id", "ok", "value" or "error"}.

  open {url}              load the page, answer once it has loaded
  call {body}             run a function body in the page (awaiting a promise); value: its JSON
  key {keysyms}           press and release X keysyms ("Return", "ctrl+l", "2")
  type {text}             type text through X as keys (xdotool type)
  click {x, y}            press and release the left button at a CSS-pixel point
  resize {width, height}  make the window that many CSS pixels
  screenshot {path}       write what the window shows as PNG
  quit

Input goes through the X server with xdotool (XTEST), so the page sees the
same events a keyboard and a mouse would give it.
"""
import json
import os
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("GdkX11", "3.0")
gi.require_version("Gtk", "3.0")
gi.require_version("WebKit2", "4.1")
# GdkX11 gives the windows their X ids (get_xid).
from gi.repository import Gdk, GdkX11, Gio, GLib, Gtk, WebKit2  # noqa: E402,F401

# Errors thrown in the page, and those it logs, kept where the tests read them.
ERRORS_SCRIPT = """
window.__varnelErrors = [];
addEventListener('error', (e) => __varnelErrors.push(String(e.message)));
addEventListener('unhandledrejection', (e) => __varnelErrors.push(String(e.reason)));
const logError = console.error;
console.error = (...args) => { __varnelErrors.push(args.join(' ')); logError.apply(console, args); };
"""


class Driver:
    def __init__(self, width, height):
        # Answers go to the real stdout; anything the libraries print goes to stderr.
        self.out = os.fdopen(os.dup(1), "w", buffering=1)
        os.dup2(2, 1)
        self.loop = GLib.MainLoop()
        self.pending_load = None

        content = WebKit2.UserContentManager()
        content.add_script(WebKit2.UserScript(ERRORS_SCRIPT, WebKit2.UserContentInjectedFrames.TOP_FRAME,
                                              WebKit2.UserScriptInjectionTime.START, None, None))
        self.view = WebKit2.WebView(user_content_manager=content)
        # Xvfb has no GPU: the page is drawn in software, straight into the window.
        self.view.get_settings().set_hardware_acceleration_policy(WebKit2.HardwareAccelerationPolicy.NEVER)
        self.view.connect("load-changed", self.on_load_changed)
        self.view.connect("load-failed", self.on_load_failed)
        self.view.connect("web-process-terminated", lambda *_: self.fail_all("the web process ended"))

        self.window = Gtk.Window()
        self.window.set_decorated(False)
        self.window.move(0, 0)
        self.window.set_default_size(width, height)
        self.window.add(self.view)
        self.window.connect("destroy", lambda *_: self.loop.quit())
        self.window.connect("map-event", self.on_mapped)
        self.window.show_all()

        self.buffer = b""
        self.stdin = GLib.IOChannel.unix_new(0)
        GLib.io_add_watch(self.stdin, GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP | GLib.IO_ERR, self.on_stdin)

    # ---- answers ------------------------------------------------------------
    def reply(self, cid, value=None, error=None):
        msg = {"id": cid, "ok": error is None}
        if error is None:
            msg["value"] = value
        else:
            msg["error"] = error
        self.out.write(json.dumps(msg) + "\n")

    def fail_all(self, why):
        if self.pending_load is not None:
            self.reply(self.pending_load, error=why)
            self.pending_load = None

    def on_mapped(self, *_):
        self.reply(0, "ready")   # input can reach the window from now on
        return False

    # ---- commands -----------------------------------------------------------
    def on_stdin(self, _channel, condition):
        if condition & GLib.IO_IN:
            chunk = os.read(0, 65536)
            if chunk:
                self.buffer += chunk
                while b"\n" in self.buffer:
                    line, self.buffer = self.buffer.split(b"\n", 1)
                    if line.strip():
                        self.command(json.loads(line))
                return True
        self.loop.quit()   # the test closed our stdin
        return False

    def command(self, msg):
        cid, cmd = msg["id"], msg["cmd"]
        try:
            getattr(self, "cmd_" + cmd)(cid, msg)
        except Exception as e:  # answered, so the test sees what went wrong
            self.reply(cid, error=f"{cmd}: {e}")

    def cmd_open(self, cid, msg):
        self.pending_load = cid
        self.view.load_uri(msg["url"])

    def on_load_changed(self, _view, event):
        if event == WebKit2.LoadEvent.FINISHED and self.pending_load is not None:
            cid, self.pending_load = self.pending_load, None
            self.view.grab_focus()
            self.reply(cid)

    def on_load_failed(self, _view, _event, uri, error):
        if self.pending_load is not None:
            cid, self.pending_load = self.pending_load, None
            self.reply(cid, error=f"loading {uri}: {error.message}")
        return True

    def cmd_call(self, cid, msg):
        def done(view, result):
            try:
                value = view.call_async_javascript_function_finish(result)
                text = None if value is None or value.is_undefined() else value.to_json(0)
                self.reply(cid, None if text is None else json.loads(text))
            except GLib.Error as e:
                self.reply(cid, error=e.message)
        self.view.call_async_javascript_function(msg["body"], -1, None, None, None, None, done)

    def xdotool(self, cid, args):
        # The view must hold the keyboard focus for keys to reach the page.
        xid = str(self.window.get_window().get_xid())
        proc = Gio.Subprocess.new(["xdotool", "windowfocus", "--sync", xid] + args,
                                  Gio.SubprocessFlags.STDERR_PIPE)

        def done(p, result):
            ok, _out, err = p.communicate_utf8_finish(result)
            if p.get_successful():
                self.reply(cid)
            else:
                self.reply(cid, error=f"xdotool {' '.join(args)}: {err.strip()}")
        proc.communicate_utf8_async(None, None, done)

    def cmd_key(self, cid, msg):
        self.xdotool(cid, ["key", "--clearmodifiers"] + msg["keysyms"])

    def cmd_type(self, cid, msg):
        self.xdotool(cid, ["type", "--clearmodifiers", "--", msg["text"]])

    def cmd_click(self, cid, msg):
        # X counts device pixels from the window's corner; the page counts CSS pixels.
        scale = self.window.get_scale_factor()
        x, y = round(msg["x"] * scale), round(msg["y"] * scale)
        xid = str(self.window.get_window().get_xid())
        self.xdotool(cid, ["mousemove", "--sync", "--window", xid, str(x), str(y), "click", "1"])

    def cmd_resize(self, cid, msg):
        self.window.resize(msg["width"], msg["height"])
        self.reply(cid)

    # The window is read back from the X server after its next paint: the page's
    # last drawing reached this process before the command did (the test waits
    # for it in the page first), and the paint puts it in the window.
    def cmd_screenshot(self, cid, msg):
        clock = self.window.get_frame_clock()

        def grab():
            try:
                gdk_window = self.window.get_window()
                pixbuf = Gdk.pixbuf_get_from_window(gdk_window, 0, 0, gdk_window.get_width(), gdk_window.get_height())
                pixbuf.savev(msg["path"], "png", [], [])
                self.reply(cid, {"width": pixbuf.get_width(), "height": pixbuf.get_height()})
            except Exception as e:
                self.reply(cid, error=f"screenshot: {e}")
            return False

        def painted(_clock):
            clock.disconnect(handler)
            GLib.idle_add(grab)

        handler = clock.connect("after-paint", painted)
        self.view.queue_draw()

    def cmd_quit(self, cid, _msg):
        self.reply(cid)
        self.loop.quit()


def main():
    width, height = int(sys.argv[1]), int(sys.argv[2])
    Driver(width, height).loop.run()


if __name__ == "__main__":
    main()
