#!/usr/bin/env python3
"""Prints the Windows command line's times under Wine beside the Linux build's.

    bench/windows_bench.py [--quick]

Builds nothing: expects build-bench/ (see bench/README.md) and build-win64/
(scripts/windows.sh). Runs the rooms file and the districts of 100 and 1,000
schools through both, best of five wall times each. Wine's own start-up (the
best time of "--version" under Wine) is measured apart and taken off the
Windows figure: the goal is the run itself within 1.5 times the Linux build's.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LINUX = [os.path.join(ROOT, "build-bench", "src", "transhoralotuxa-cli")]
WINDOWS = ["wine", os.path.join(ROOT, "build-win64", "src", "transhoralotuxa-cli.exe")]
GEN = os.path.join(ROOT, "bench", "generate_district.py")


def best(args, runs=5):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        out = subprocess.run(args, capture_output=True, text=True)
        times.append(time.perf_counter() - start)
        if out.returncode not in (0, 1):
            sys.exit(f"failed: {' '.join(args)}\n{out.stderr}")
    return min(times)


def compare(label, work, folder, wine_start, verbs):
    for verb in verbs:
        seconds = {}
        for name, cli in (("linux", LINUX), ("windows", WINDOWS)):
            htemp = os.path.join(work, f"htemp-{name}")
            if verb == "exportar":
                shutil.rmtree(htemp, ignore_errors=True)
                os.makedirs(htemp)
            else:
                shutil.copy(os.path.join(folder, "SOLUC.DBF"), htemp)
            seconds[name] = best([*cli, verb, folder, "--htemp", htemp, "--quiet"])
        run = seconds["windows"] - wine_start
        print(f"{label:<28} {verb:<9} {seconds['linux']:>8.3f} {seconds['windows']:>9.3f} {run:>9.3f} "
              f"{run / seconds['linux']:>6.2f}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quick", action="store_true", help="smaller scales, for a smoke run")
    args = parser.parse_args()
    for tool in (LINUX[0], WINDOWS[1]):
        if not os.path.exists(tool):
            sys.exit(f"missing {tool}: build with bench/README.md and scripts/windows.sh first")
    # One Wine server for the whole run, as scripts/test_windows.sh keeps.
    prefix = os.environ.setdefault("WINEPREFIX", os.path.join(ROOT, "build-win64", "wine"))
    os.environ.setdefault("WINEDEBUG", "-all")
    os.environ.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    os.environ["LANG"] = "C.UTF-8"
    # The server and Wine's services live on after the call: they must hold no pipe of ours.
    quiet = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        subprocess.run(["wineboot", "-i"], check=True, **quiet)
    subprocess.run(["wineserver", "-p"], **quiet)
    subprocess.run([*WINDOWS, "--version"], **quiet)
    try:
        wine_start = best([*WINDOWS, "--version"], runs=20)
        linux_start = best([*LINUX, "--version"], runs=20)
        print(f"start-up, --version: Linux {linux_start * 1000:.1f} ms, Windows under Wine {wine_start * 1000:.1f} ms")
        print(f"{'':<28} {'':<9} {'Linux s':>8} {'Wine s':>9} {'run s':>9} {'ratio':>6}")
        with tempfile.TemporaryDirectory(prefix="tht-winbench-") as work:
            rooms = 200_000 if args.quick else 2_000_000
            folder = os.path.join(work, "rooms")
            subprocess.run([sys.executable, GEN, "--rooms-only", str(rooms), folder], check=True)
            compare(f"rooms file, {rooms:,} lines", work, folder, wine_start, ["exportar"])
            shutil.rmtree(folder)
            for schools in ((10, 100) if args.quick else (100, 1000)):
                folder = os.path.join(work, f"d{schools}")
                subprocess.run([sys.executable, GEN, "--schools", str(schools), folder], check=True)
                compare(f"district, {schools:,} schools", work, folder, wine_start, ["exportar", "importar"])
                shutil.rmtree(folder)
    finally:
        subprocess.run(["wineserver", "-k"], **quiet)


if __name__ == "__main__":
    main()
