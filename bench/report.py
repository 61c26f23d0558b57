#!/usr/bin/env python3
"""Runs the peers next to ctbtool on the benchmark files, reads the native and Wine
benchmark results, and writes docs/performance.md.

Usage: report.py DATA_DIR CORE_JSON WINE_OUTPUT CTBTOOL EXE OUT_MD"""
import datetime
import json
import os
import platform
import statistics
import subprocess
import sys
import time

PYTHON = "/usr/bin/python3"  # Debian's, where python3-vobject is installed
RUNS = 5

VOBJECT_READER = """
import sys, vobject
cards = 0
for card in vobject.readComponents(open(sys.argv[1], encoding='ascii', newline='')):
    cards += 1
"""
CSV_READER = """
import csv, sys
rows = sum(1 for row in csv.reader(open(sys.argv[1], encoding='gbk', newline='')))
"""


def wall_time(command):
    """Median wall time of a whole process, in ms."""
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def core_figures(path):
    with open(path) as source:
        results = json.load(source)["benchmarks"]
    return {r["name"]: r["real_time"] * {"ms": 1, "us": 0.001, "ns": 1e-6}[r["time_unit"]]
            for r in results}


def wine_figures(path):
    figures = {}
    with open(path) as source:
        for line in source:
            parts = line.split()
            if len(parts) == 3 and parts[2] == "ms":
                figures[parts[0]] = float(parts[1])
    return figures


def machine():
    cpu = "unknown CPU"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return "%s, %d cores, %s %s, %s" % (cpu, os.cpu_count(), platform.system(),
                                         platform.release(), wine or "Wine not found")


def verdict(met):
    return "met" if met else "**not met**"


def main():
    data, core_json, wine_out, ctbtool, exe, out = sys.argv[1:7]
    core = core_figures(core_json)
    wine = wine_figures(wine_out)
    vcf = os.path.join(data, "cards_10000.vcf")
    csv = os.path.join(data, "lines_100000.csv")
    peers = {
        "vcf": (wall_time([ctbtool, "dump", vcf]), wall_time([PYTHON, "-c", VOBJECT_READER, vcf]),
                wall_time(["cat", vcf])),
        "csv": (wall_time([ctbtool, "dump", csv]), wall_time([PYTHON, "-c", CSV_READER, csv]),
                wall_time(["cat", csv])),
    }
    lines = ["# Performance", "",
             "Written by `scripts/bench` on %s." % datetime.date.today().isoformat(),
             "Machine: %s." % machine(), "",
             "## The core, natively (Google Benchmark, in one process)", "",
             "Floor: reading the same file's bytes into memory and nothing else.", "",
             "| Figure | Time (ms) | Floor (ms) | × floor | Goal | |",
             "|---|---:|---:|---:|---|---|"]
    rows = [("Open 512 contacts", "LoadBook/512", "LoadBookFloor/512", None),
            ("Open 10,000", "LoadBook/10000", "LoadBookFloor/10000", 100),
            ("Open 100,000", "LoadBook/100000", "LoadBookFloor/100000", 1000),
            ("Save 512", "SaveBook/512", "LoadBookFloor/512", None),
            ("Save 10,000", "SaveBook/10000", "LoadBookFloor/10000", 100),
            ("Save 100,000", "SaveBook/100000", "LoadBookFloor/100000", 1000),
            ("Import 10,000-card vCard file", "Import/vcard", "ImportFloor/vcard", 100),
            ("Import 100,000-line text file", "Import/text", "ImportFloor/text", 1000),
            ("Import 100,000-line CSV file", "Import/csv", "ImportFloor/csv", 1000)]
    for label, name, floor, goal in rows:
        time_ms, floor_ms = core[name], core[floor]
        lines.append("| %s | %.2f | %.2f | %.1f | %s | %s |" % (
            label, time_ms, floor_ms, time_ms / floor_ms,
            "≤ %d ms" % goal if goal else "", verdict(time_ms <= goal) if goal else ""))
    lines += ["| Quick search over 10,000 contacts (\"138\") | %.3f | | | | |" % core["MatchQuery/0"],
              "| Quick search over 10,000 contacts (王) | %.3f | | | | |" % core["MatchQuery/1"], "",
              "Save's floor is the read of the same book: there is no cheaper way to have its bytes.",
              "", "## Against the peers (whole processes, the same files)", "",
              "`ctbtool dump` reads the file and prints every contact; the peers only parse. "
              "Floor: `cat` of the file. Median of %d runs." % RUNS, "",
              "| File | ctbtool (ms) | Peer | Peer (ms) | Peer ÷ ctbtool | Goal | | ctbtool ÷ floor | Goal | |",
              "|---|---:|---|---:|---:|---|---|---:|---|---|"]
    for key, label, peer, goal in (("vcf", "10,000-card vCard", "python3-vobject", 50),
                                   ("csv", "100,000-line CSV", "Python `csv`", 3)):
        ours, theirs, floor = peers[key]
        lines.append("| %s | %.0f | %s | %.0f | %.1f | ≥ %d | %s | %.1f | ≤ 5 | %s |" % (
            label, ours, peer, theirs, theirs / ours, goal, verdict(theirs / ours >= goal),
            ours / floor, verdict(ours / floor <= 5)))
    startup_ratio = wine["startup_vostrelina"] / wine["startup_minimal"]
    size = os.path.getsize(exe)
    lines += ["", "## Under Wine (the real main window, 64-bit build)", "",
              "A keystroke: the search box's text changes and the list is refilled and painted; "
              "median and slowest of 24 keystrokes (\"1\", \"13\", \"130\", \"13\", \"1\", \"\", "
              "\"王\", \"\" three times), one contact in ten ticked.", "",
              "| Figure | Time (ms) | Slowest (ms) | Goal | |", "|---|---:|---:|---|---|"]
    for count, goal in ((512, None), (10000, 50), (100000, 1000)):
        median = wine["keystroke_%d" % count]
        lines.append("| Keystroke at %s contacts | %.1f | %.1f | %s | %s |" % (
            "{:,}".format(count), median, wine["keystroke_max_%d" % count],
            "≤ %d ms" % goal if goal else "", verdict(median <= goal) if goal else ""))
    lines += ["", "| Start-up to the first painted window | Time (ms) |", "|---|---:|",
              "| Vostrelina.exe | %.0f |" % wine["startup_vostrelina"],
              "| a program that only opens a window | %.0f |" % wine["startup_minimal"],
              "| ratio (goal ≤ 1.5) | %.2f, %s |" % (startup_ratio, verdict(startup_ratio <= 1.5)),
              "", "Stripped i686 `Vostrelina.exe`: %s bytes (%.1f KiB; goal ≤ 150 KB: %s)." % (
                  "{:,}".format(size), size / 1024, verdict(size <= 150 * 1024)), ""]
    lines += ["## Where the goals are missed, and why", "",
              "- **Keystroke at 10,000 and 100,000 contacts under Wine.** The refill is a "
              "plain report list that holds every shown row. Wine's list view frees its items in "
              "quadratic time: clearing 100,000 rows costs about 1.5 s of the keystroke whatever "
              "the order (delete all, one by one from either end, or destroying the control: "
              "measured alike), inserting them about 0.4 s; painting takes about 20 ms at any size. The same "
              "calls were not measured on Windows itself. Meeting the goal under Wine needs a virtual (owner-data) list "
              "that holds no rows at all; that changes how check boxes reach the program and "
              "is left for a decision.",
              "- **ctbtool against the floor and the Python `csv` module.** `ctbtool dump` "
              "allocates one record per contact, as the program keeps its list, and converts "
              "and prints every contact as UTF-8; the floor only copies bytes and Python's "
              "one-liner only splits fields. Reading alone is within the goals (the core table).",
              "- **Start-up.** The program loads the common controls (toolbar, list view, image "
              "list, eleven icons) that a bare window does not; the figure is the median of "
              "seven starts and varies by about a tenth between runs.", ""]
    with open(out, "w") as target:
        target.write("\n".join(lines))


if __name__ == "__main__":
    main()
