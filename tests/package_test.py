#!/usr/bin/env python3
"""The Debian package: built with cpack, unpacked into a scratch root with
dpkg-deb -x, it declares what the programs load, carries a valid menu entry
and icons for each program, and each entry's command starts the unpacked
program, which opens its window and ends with status 0 from the close button.
Usage: package_test.py --build DIR --cpack CPACK --png-sizes 16,24,...|none
(run under xvfb-run, 1366x768; exits 77 when cpack or dpkg-deb is missing)"""
import argparse
import glob
import os
import re
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

SKIP = 77
PROGRAMS = ["varnel1", "varnel2"]
NAMED_DEPENDS = ["libsdl2-2.0-0", "libsdl2-ttf-2.0-0", "libfontconfig1", "fontconfig", "fonts-ipafont-gothic"]
PANEL = (0x16, 0x2C, 0x56)   # the icons' background panel

args = argparse.ArgumentParser()
args.add_argument("--build", required=True)
args.add_argument("--cpack", required=True)
args.add_argument("--png-sizes", required=True)
args.add_argument("--class-page", choices=["yes", "no"], required=True)
opts = args.parse_args()
png_sizes = [] if opts.png_sizes == "none" else [int(s) for s in opts.png_sizes.split(",")]

if not os.access(opts.cpack, os.X_OK) or not shutil.which("dpkg-deb"):
    print("skipped: cpack or dpkg-deb is missing")
    sys.exit(SKIP)

import xwindow as xw   # noqa: E402  (needs the X display only once the tools are there)


def run(*cmd, **kw):
    return subprocess.run(cmd, capture_output=True, text=True, check=True, **kw).stdout


def build_package(work):
    out = os.path.join(work, "out")
    run(opts.cpack, "-G", "DEB", "--config", os.path.join(opts.build, "CPackConfig.cmake"), "-B", out)
    debs = glob.glob(os.path.join(out, "*.deb"))
    assert len(debs) == 1, f"cpack made {debs}"
    return debs[0]


def depends_of(deb):
    field = run("dpkg-deb", "-f", deb, "Depends")
    names = set()
    for item in field.split(","):
        for alternative in item.split("|"):
            names.add(re.split(r"[\s(]", alternative.strip())[0])
    return names


def package_of(library_path):
    """The Debian package a shared library comes from, or None."""
    for path in (library_path, "/usr" + library_path, os.path.realpath(library_path)):
        found = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True)
        if found.returncode == 0:
            return found.stdout.split(":")[0]
    return None


def declares_what_it_loads(deb, root):
    depends = depends_of(deb)
    missing = [p for p in NAMED_DEPENDS if p not in depends]
    assert not missing, f"Depends lacks {missing}: {sorted(depends)}"
    checked = []
    if shutil.which("dpkg-shlibdeps") and shutil.which("readelf") and shutil.which("dpkg"):
        for program in PROGRAMS:
            binary = os.path.join(root, "usr/bin", program)
            needed = re.findall(r"\(NEEDED\).*\[(.+)\]", run("readelf", "-d", binary))
            loaded = dict(re.findall(r"^\s*(\S+) => (/\S+)", run("ldd", binary), re.M))
            for library in needed:
                package = package_of(loaded[library])
                assert package, f"{program}: {library} ({loaded[library]}) comes from no Debian package"
                assert package in depends, f"{program} loads {library} from {package}, which Depends lacks"
                checked.append(library)
    print(f"ok  Depends names {', '.join(NAMED_DEPENDS)}"
          + (f" and the packages of all {len(set(checked))} libraries the programs need" if checked else ""))


def read_desktop(path):
    """{group: {key: value}} of a desktop entry file."""
    groups, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("["):
                group = groups.setdefault(line[1:-1], {})
            else:
                key, value = line.split("=", 1)
                group[key] = value
    return groups


def command_of(exec_line):
    """(environment, program) of an Exec line: a program, or `env NAME=VALUE ... program`."""
    words = shlex.split(exec_line)
    env = {}
    if words[0] == "env":
        words.pop(0)
        while "=" in words[0]:
            name, value = words.pop(0).split("=", 1)
            env[name] = value
    assert len(words) == 1 or words[1:] == ["--open-record"], f"a command line not the programs': {exec_line!r}"
    return env, words[0]


def has_japanese(text):
    return any("\u3040" <= ch <= "\u30ff" or "\u4e00" <= ch <= "\u9fff" for ch in text)


def menu_entries_are_valid(root):
    apps = os.path.join(root, "usr/share/applications")
    for program in PROGRAMS:
        path = os.path.join(apps, f"{program}.desktop")
        assert os.path.isfile(path), f"no menu entry {path}"
        if shutil.which("desktop-file-validate"):
            checked = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
            assert checked.returncode == 0 and not checked.stdout.strip(), checked.stdout + checked.stderr
        entry = read_desktop(path)["Desktop Entry"]
        assert entry["Type"] == "Application"
        for key in ("Name", "Comment"):
            assert entry.get(key) and not has_japanese(entry[key]), f"{program}: no English {key}"
            assert has_japanese(entry.get(f"{key}[ja]", "")), f"{program}: no Japanese {key}[ja]"
        assert "Education" in entry["Categories"].split(";"), f"{program}: not under Education"
        env, command = command_of(entry["Exec"])
        assert command == program and not env, f"{program}: runs {entry['Exec']!r}"
        assert os.access(os.path.join(root, "usr/bin", program), os.X_OK), f"{program}: not installed in usr/bin"
        assert entry["Icon"] == program
        assert entry["StartupWMClass"] == program
    print("ok  menu entries: valid, English and Japanese, under Education, running the installed programs")


def png_rgba(path):
    """(width, height, pixel(x, y)) of an 8-bit RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", f"{path}: not a PNG"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    w, h, depth, colour, _, _, interlace = header
    assert (depth, colour, interlace) == (8, 6, 0), f"{path}: not 8-bit RGBA, non-interlaced"
    raw, stride, rows, prev = zlib.decompress(idat), w * 4, [], bytes(w * 4)
    for y in range(h):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b, c = prev[i], prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(line))
        prev = line
    return w, h, lambda x, y: tuple(rows[y][x * 4:x * 4 + 4])


def icons_are_installed(root):
    icons = os.path.join(root, "usr/share/icons/hicolor")
    for program in PROGRAMS:
        svg = os.path.join(icons, "scalable/apps", f"{program}.svg")
        drawing = ET.parse(svg).getroot()
        assert drawing.tag.endswith("svg"), f"{svg}: not an SVG drawing"
        _, _, vw, vh = drawing.get("viewBox").split()
        assert vw == vh, f"{svg}: not square"
        for size in png_sizes:
            png = os.path.join(icons, f"{size}x{size}/apps", f"{program}.png")
            w, h, pixel = png_rgba(png)
            assert (w, h) == (size, size), f"{png}: {w}x{h}"
            assert pixel(0, 0)[3] == 0, f"{png}: the corner outside the rounded panel is not transparent"
            r, g, b, a = pixel(size * 7 // 8, size // 4)   # the panel's right of the badge, above the line
            assert a == 255 and max(abs(r - PANEL[0]), abs(g - PANEL[1]), abs(b - PANEL[2])) <= 8, \
                f"{png}: ({r}, {g}, {b}, {a}) where the panel is drawn"
    made = f"PNG sizes {', '.join(map(str, png_sizes))}" if png_sizes else "no PNG sizes (rsvg-convert missing)"
    print(f"ok  icons: an SVG for each program, {made}")


def record_opens_in_the_spreadsheet(program, exec_line):
    """The record's action hands xdg-open a dated copy of the record, in the
    programs' form with its rows, so that saving it never touches the record."""
    with tempfile.TemporaryDirectory() as scratch:
        opener = os.path.join(scratch, "xdg-open")
        with open(opener, "w") as f:
            f.write(f"#!/bin/sh\nprintf '%s' \"$1\" > {scratch}/opened\n")
        os.chmod(opener, 0o755)
        record = os.path.join(scratch, "data", "varnel", "record.csv")
        os.makedirs(os.path.dirname(record))
        head = "日時,組,番号,名前,プログラム,練習,問題,内容,1回目,結果,回数,ヒント,入力,正答,符号の誤り,自己採点,秒\r\n"
        row = "2026-12-09 10:31:05,2,7,佐藤,varnel1,1,2,温度,○,正解,1,0,\u20603，4,\u20603，4,,,20\r\n"
        with open(record, "wb") as f:
            f.write(("\ufeff" + head + row).encode())
        env = dict(os.environ, PATH=f"{scratch}:{os.environ['PATH']}", XDG_DATA_HOME=f"{scratch}/data")
        subprocess.run([program] + shlex.split(exec_line)[1:], env=env, check=True, timeout=20)
        with open(os.path.join(scratch, "opened")) as f:
            opened = f.read()
        assert re.fullmatch(re.escape(f"{scratch}/data/varnel/copies/record-") + r"\d{4}-\d\d-\d\d-\d{6}\.csv", opened), \
            f"xdg-open was handed {opened!r}"
        with open(opened, "rb") as f:
            assert f.read() == ("\ufeff" + head + row).encode(), "the copy is not the record's rows in its form"
        with open(opened, "w") as f:   # the teacher saves it
            f.write("saved by a spreadsheet")
        with open(record, "rb") as f:
            assert f.read() == ("\ufeff" + head + row).encode(), "saving the copy changed the record"
    print(f"ok  {os.path.basename(program)} [Desktop Action Record] {exec_line!r}: opens a copy of the record")


def entries_start_the_unpacked_programs(root):
    bin_dir = os.path.join(root, "usr/bin")
    for program in PROGRAMS:
        groups = read_desktop(os.path.join(root, "usr/share/applications", f"{program}.desktop"))
        actions = [a for a in groups["Desktop Entry"].get("Actions", "").split(";") if a]
        assert "Fullscreen" in actions, f"{program}: no Fullscreen action"
        assert "Record" in actions, f"{program}: no action opening the practice record"
        record_opens_in_the_spreadsheet(os.path.join(bin_dir, program), groups["Desktop Action Record"]["Exec"])
        for group in ["Desktop Entry"] + [f"Desktop Action {a}" for a in actions if a != "Record"]:
            env, command = command_of(groups[group]["Exec"])
            assert command == program, f"{program} [{group}] runs {command}"
            proc, window = xw.start(os.path.join(bin_dir, command), program, env)
            asked = xw.wm_state_requests(window)
            wm_class = run("xprop", "-id", str(window), "WM_CLASS")
            assert f'"{program}"' in wm_class, f"{program}: WM_CLASS {wm_class.strip()} does not match the entry"
            if env.get("VARNEL_WINDOW") == "fullscreen":
                assert ("add", "_NET_WM_STATE_FULLSCREEN") in asked, f"{program} [{group}]: no fullscreen asked"
            assert proc.poll() is None, f"{program} [{group}]: ended before the close button"
            xw.press_close(window)
            status = xw.ended(proc)
            assert status == 0, f"{program} [{group}]: exit status {status} after the close button"
            print(f"ok  {program} [{group}] {groups[group]['Exec']!r}: opens, closes with status 0")


def class_page_opens_from_its_entry(root):
    """varnel-class is installed; with the class page, so is its menu entry "クラスの記録", which
    hands the desktop's browser the installed page."""
    command = os.path.join(root, "usr/bin/varnel-class")
    assert os.access(command, os.X_OK), "varnel-class is not installed"
    if opts.class_page == "no":
        print("ok  varnel-class installed (the class page is not built here: no em++)")
        return
    page = os.path.join(root, "usr/share/varnel")
    for name in ("class.html", "class.js", "class.css", "class-program.js"):
        assert os.path.isfile(os.path.join(page, name)), f"no {name} in usr/share/varnel"
    path = os.path.join(root, "usr/share/applications/varnel-class.desktop")
    if shutil.which("desktop-file-validate"):
        checked = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
        assert checked.returncode == 0 and not checked.stdout.strip(), checked.stdout + checked.stderr
    entry = read_desktop(path)["Desktop Entry"]
    assert entry["Name[ja]"] == "クラスの記録" and "Education" in entry["Categories"].split(";"), entry
    with tempfile.TemporaryDirectory() as scratch:
        with open(os.path.join(scratch, "xdg-open"), "w") as f:
            f.write(f"#!/bin/sh\nprintf '%s' \"$1\" > {scratch}/opened\n")
        os.chmod(os.path.join(scratch, "xdg-open"), 0o755)
        words = shlex.split(entry["Exec"])
        assert words[0] == "varnel-class", entry["Exec"]
        subprocess.run([command] + words[1:], env=dict(os.environ, PATH=f"{scratch}:{os.environ['PATH']}"),
                       check=True, timeout=20)
        with open(os.path.join(scratch, "opened")) as f:
            opened = f.read()
    assert os.path.realpath(opened) == os.path.realpath(os.path.join(page, "class.html")), f"opened {opened!r}"
    print(f"ok  the class page and its menu entry {entry['Exec']!r}, opening {os.path.relpath(opened, root)}")


work = tempfile.mkdtemp(prefix="varnel-package-")
try:
    deb = build_package(work)
    root = os.path.join(work, "root")
    run("dpkg-deb", "-x", deb, root)
    print(f"ok  {os.path.basename(deb)} unpacked")
    declares_what_it_loads(deb, root)
    menu_entries_are_valid(root)
    icons_are_installed(root)
    entries_start_the_unpacked_programs(root)
    class_page_opens_from_its_entry(root)
finally:
    shutil.rmtree(work, ignore_errors=True)
print("package tests passed")
