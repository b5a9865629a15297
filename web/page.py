#!/usr/bin/env python3
"""Writes a program's self-contained page: its shell (web/shell.html, as
configured) with, at {{{ SCRIPT }}}, the program's WebAssembly compressed
(gzip, then base64, in <script id="program" type="application/octet-stream">,
which the shell unpacks and compiles), the inflater for browsers without
DecompressionStream (web/inflate.js) and Emscripten's JavaScript.

  page.py SHELL PROGRAM.js PROGRAM.wasm INFLATE.js OUT.html

The same inputs give the same bytes (the service worker's version is their hash)."""
import base64
import gzip
import sys


def script(text, what):
    if "</script" in text.lower():
        sys.exit(f"page.py: {what} holds </script and cannot be inlined")
    return text


def main():
    shell_path, js_path, wasm_path, inflate_path, out_path = sys.argv[1:]
    with open(shell_path, encoding="utf-8") as f:
        shell = f.read()
    with open(js_path, encoding="utf-8") as f:
        js = script(f.read(), js_path)
    with open(inflate_path, encoding="utf-8") as f:
        inflate = script(f.read(), inflate_path)
    with open(wasm_path, "rb") as f:
        packed = base64.b64encode(gzip.compress(f.read(), compresslevel=9, mtime=0)).decode("ascii")
    if shell.count("{{{ SCRIPT }}}") != 1:
        sys.exit(f"page.py: {shell_path} needs one {{{{{{ SCRIPT }}}}}}")
    program = (f'<script id="program" type="application/octet-stream">{packed}</script>\n'
               f"<script>\n{inflate}</script>\n"
               f"<script>\n{js}\n</script>")
    with open(out_path, "w", encoding="utf-8", newline="\n") as f:
        f.write(shell.replace("{{{ SCRIPT }}}", program))


if __name__ == "__main__":
    main()
