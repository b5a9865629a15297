#!/usr/bin/env python3
"""Writes a program's two pages from its shell (web/shell.html, as configured):
the served page, with Emscripten's JavaScript at {{{ SCRIPT }}} and the
program's WebAssembly fetched beside it (NAME.wasm, copied here), and the
single file for opening from disk, with the WebAssembly inlined before the
JavaScript in base64 (in <script id="program" type="application/octet-stream">,
which the shell decodes and compiles).

  page.py SHELL PROGRAM.js PROGRAM.wasm OUT.html OUT-single.html

The bytes go in as they are: inflating gzipped ones cost a slow machine more
time at start-up than the larger page costs it to read.
The page is written in ASCII, each other character escaped (a character
reference in the markup, a \\u escape in a script or a style): the browser then
holds the whole document in one byte per character, which a slow machine
decodes and parses markedly faster.
The shell's own comments (whole lines of // in its scripts, /* */ in its
styles) and the indentation of its scripts' and styles' lines are left out:
they are for its readers, not the pupils' downloads.
The same inputs give the same bytes (the service worker's version is their hash)."""
import base64
import re
import sys

RAW_TEXT = re.compile(r"(<(script|style)\b[^>]*>)(.*?)(</\2>)", re.S)


def ascii_page(page):
    """The page with every non-ASCII character escaped for where it stands."""
    def escaped(text, form):
        return "".join(c if ord(c) < 128 else form(ord(c)) for c in text)

    def script(code):   # \uXXXX reaches only the Basic Multilingual Plane
        if any(ord(c) > 0xFFFF for c in code):
            sys.exit("page.py: a script holds a character beyond U+FFFF")
        return escaped(code, lambda n: f"\\u{n:04x}")

    out, at = [], 0
    for m in RAW_TEXT.finditer(page):
        out.append(escaped(page[at:m.start()], lambda n: f"&#x{n:x};"))
        body = script(m.group(3)) if m.group(2) == "script" else escaped(m.group(3), lambda n: f"\\{n:x} ")
        out.append(m.group(1) + body + m.group(4))
        at = m.end()
    out.append(escaped(page[at:], lambda n: f"&#x{n:x};"))
    return "".join(out)


def without_comments(shell):
    """The shell without its comment lines, style comments and indentation."""
    def strip(m):
        if m.group(2) == "script":
            body = re.sub(r"^[ \t]*//.*\n", "", m.group(3), flags=re.M)
        else:
            body = re.sub(r"[ \t]*/\*.*?\*/\n?", "", m.group(3), flags=re.S)
        return m.group(1) + re.sub(r"^[ \t]+", "", body, flags=re.M) + m.group(4)
    return RAW_TEXT.sub(strip, shell)


def main():
    shell_path, js_path, wasm_path, out_path, single_path = sys.argv[1:]
    with open(shell_path, encoding="utf-8") as f:
        shell = f.read()
    with open(js_path, encoding="utf-8") as f:
        js = f.read()
    if "</script" in js.lower():
        sys.exit(f"page.py: {js_path} holds </script and cannot be inlined")
    with open(wasm_path, "rb") as f:
        program = base64.b64encode(f.read()).decode("ascii")
    shell = without_comments(shell)
    if shell.count("{{{ SCRIPT }}}") != 1:
        sys.exit(f"page.py: {shell_path} needs one {{{{{{ SCRIPT }}}}}}")
    glue = f"<script>\n{js}\n</script>"
    inlined = f'<script id="program" type="application/octet-stream">{program}</script>\n'
    for path, scripts in ((out_path, glue), (single_path, inlined + glue)):
        with open(path, "w", encoding="ascii", newline="\n") as f:
            f.write(ascii_page(shell.replace("{{{ SCRIPT }}}", scripts)))


if __name__ == "__main__":
    main()
