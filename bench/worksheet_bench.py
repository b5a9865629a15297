#!/usr/bin/env python3
"""Worksheets: 40 versions of all of a program's problems, with their keys, as
a teacher prints them for a class (./dev bench runs it). For each program: the
time of `--worksheet --versions 40` (median of 5 runs, wall clock) against
2 s, and the PDF's size against 1 MB. Fails when either is over.
Usage: worksheet_bench.py BUILD_DIR"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1]
failed = False
with tempfile.TemporaryDirectory() as scratch:
    for program in ("varnel1", "varnel2"):
        pdf = os.path.join(scratch, f"{program}.pdf")
        times = []
        for _ in range(5):
            started = time.monotonic()
            subprocess.run([f"{build}/{program}", "--worksheet", "--versions", "40", "--time", "10:20:30", "-o", pdf],
                           check=True)
            times.append(time.monotonic() - started)
        pages = next(line.split()[1] for line in subprocess.run(["pdfinfo", pdf], capture_output=True, text=True,
                                                                check=True).stdout.splitlines()
                     if line.startswith("Pages:"))
        took, size = statistics.median(times), os.path.getsize(pdf)
        over = took >= 2 or size >= 1_000_000
        failed = failed or over
        print(f"worksheets {program}: 40 versions, {pages} pages, {took:.2f} s (goal under 2 s), "
              f"{size / 1e6:.2f} MB (goal under 1 MB){'  OVER' if over else ''}")
sys.exit(1 if failed else 0)
