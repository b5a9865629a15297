#!/usr/bin/env python3
"""Writes a program's self-contained page: its shell (web/shell.html, as
configured) with, at {{{ SCRIPT }}}, the program's WebAssembly in base64 (in
<script id="program" type="application/octet-stream">, which the shell decodes
and compiles) and Emscripten's JavaScript.

  page.py SHELL PROGRAM.js PROGRAM.wasm OUT.html

The bytes go in as they are: inflating gzipped ones cost a slow machine more
time at start-up than the larger page costs it to read.
The same inputs give the same bytes (the service worker's version is their hash)."""
import base64
import sys


def main():
    shell_path, js_path, wasm_path, out_path = sys.argv[1:]
    with open(shell_path, encoding="utf-8") as f:
        shell = f.read()
    with open(js_path, encoding="utf-8") as f:
        js = f.read()
    if "</script" in js.lower():
        sys.exit(f"page.py: {js_path} holds </script and cannot be inlined")
    with open(wasm_path, "rb") as f:
        program = base64.b64encode(f.read()).decode("ascii")
    if shell.count("{{{ SCRIPT }}}") != 1:
        sys.exit(f"page.py: {shell_path} needs one {{{{{{ SCRIPT }}}}}}")
    scripts = (f'<script id="program" type="application/octet-stream">{program}</script>\n'
               f"<script>\n{js}\n</script>")
    with open(out_path, "w", encoding="utf-8", newline="\n") as f:
        f.write(shell.replace("{{{ SCRIPT }}}", scripts))


if __name__ == "__main__":
    main()
