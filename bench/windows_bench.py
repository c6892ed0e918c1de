#!/usr/bin/env python3
"""Prints the Windows command line's times under Wine beside the Linux build's,
and both against the whole-run I/O floor built for each system.

    bench/windows_bench.py [--quick] [--exe PATH] [--cli PATH] [--data DIR]

Builds nothing: expects build-bench/ (see bench/README.md) and build-win64/
(scripts/windows.sh) with the tht_bench_io_floor target built in both.

First, as before: the rooms file and the districts of 100 and 1,000 schools
through both builds, best of five wall times each; Wine's own start-up (the
best time of "--version" under Wine) is taken off the Windows figure.

Then exportar and importar of the 4,000-school district (a third of the names
accented), each against its I/O floor: the Linux floor, the Linux command
line, the Windows floor under Wine and the Windows command line under Wine, in
turn, five rounds after a warm-up, medians of wall and CPU time. The Windows
floor under Wine against the Linux floor is what Wine costs a program that
only reads and writes; the command line under Wine against the Windows floor
is the goal. CPU under Wine is the Windows process's; the Wine server's (one,
kept running) is not in it.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

import run_bench

ROOT = run_bench.ROOT
LINUX = [run_bench.CLI]
WINDOWS = ["wine", os.path.join(ROOT, "build-win64", "src", "transhoralotuxa-cli.exe")]
LINUX_FLOOR = [run_bench.IO_FLOOR]
WINDOWS_FLOOR = ["wine", os.path.join(ROOT, "build-win64", "bench", "tht_bench_io_floor.exe")]
EXE_TIMES_IO_FLOOR = 2


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


def against_floors(verb, cli_runs, floors):
    """One run of each command line after it has run once: the floors, given
    the inputs the verb reads and the sizes of the files it left."""
    linux_floor, linux, windows_floor, windows = run_bench.alternated(
        floors["linux"], cli_runs["linux"], floors["windows"], cli_runs["windows"])
    m = run_bench.median
    print(f"{verb}, against its I/O floor ({floors['linux'].describe()}):")
    print(f"  {'':<5} {'Linux floor':>12} {'Linux':>8} {'ratio':>6}   {'Wine floor':>11} {'Wine':>8} {'ratio':>6}"
          f"   {'Wine floor / Linux floor':>24}")
    for measure, key in (("wall", lambda r: r.wall), ("CPU", lambda r: r.cpu)):
        lf, lc, wf, wc = (m(runs, key) for runs in (linux_floor, linux, windows_floor, windows))
        print(f"  {measure:<5} {lf:>10.3f} s {lc:>6.3f} s {lc / lf:>6.2f}   {wf:>9.3f} s {wc:>6.3f} s "
              f"{wc / wf:>6.2f}   {wf / lf:>24.2f}")
    wc, wf = m(windows, lambda r: r.wall), m(windows_floor, lambda r: r.wall)
    print(f"  the .exe under Wine, wall: {wc / wf:.2f} x the Windows floor under Wine "
          f"{run_bench.verdict(wc / wf, EXE_TIMES_IO_FLOOR)}")
    wc, wf = m(windows, lambda r: r.cpu), m(windows_floor, lambda r: r.cpu)
    print(f"  the .exe under Wine, CPU:  {wc / wf:.2f} x the Windows floor under Wine "
          f"{run_bench.verdict(wc / wf, EXE_TIMES_IO_FLOOR)}")


def district_against_floors(work, data, schools):
    folder = run_bench.generated(work, data, f"d{schools}-third", "--schools", str(schools), "--accents", "third")
    timetable = os.path.join(folder, run_bench.TIMETABLE)
    if os.path.exists(timetable):
        os.remove(timetable)
    htemp = {name: os.path.join(work, f"h-{name}") for name in ("linux", "windows")}
    for path in htemp.values():
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
    clis = {"linux": LINUX, "windows": WINDOWS}

    def verb_runs(verb):
        return {name: (lambda name=name: run_bench.run([*clis[name], verb, folder, "--htemp", htemp[name],
                                                        "--quiet"], ok=(0, 1)))
                for name in clis}

    def floors(inputs, outputs):
        return {name: run_bench.IoFloor(program, inputs(name), outputs(name),
                                        {htemp[name]: os.path.join(work, f"floor-h-{name}"),
                                         folder: os.path.join(work, f"floor-tuxa-{name}")})
                for name, program in (("linux", LINUX_FLOOR), ("windows", WINDOWS_FLOOR))}

    print(f"district of {schools:,} schools, a third of the names accented:")
    exports = verb_runs("exportar")
    for name in clis:
        exports[name]()
    against_floors("exportar", exports, floors(lambda name: run_bench.tuxa_inputs(folder),
                                               lambda name: run_bench.written(htemp[name])))
    imports = verb_runs("importar")
    for name in clis:
        shutil.copy(os.path.join(folder, "SOLUC.DBF"), htemp[name])
        imports[name]()
    # Both write the timetable into the TUXA folder: each floor is given its own
    # build's report and the one timetable (the same bytes from both builds).
    against_floors("importar", imports, floors(
        lambda name: [os.path.join(htemp[name], n) for n in run_bench.IMPORT_TABLES],
        lambda name: run_bench.written(folder, [run_bench.TIMETABLE]) +
        run_bench.written(htemp[name], [run_bench.REPORT])))
    os.remove(timetable)
    run_bench.removed(folder, data)


def main():
    global LINUX, WINDOWS
    parser = argparse.ArgumentParser()
    parser.add_argument("--quick", action="store_true", help="smaller scales, for a smoke run")
    parser.add_argument("--exe", help="another build's transhoralotuxa-cli.exe (an earlier commit, say)")
    parser.add_argument("--cli", help="another build's Linux transhoralotuxa-cli, beside it")
    parser.add_argument("--data", help="a folder outside the repository where the generated inputs are kept "
                                       "and reused (shared with run_bench.py)")
    parser.add_argument("--floors-only", action="store_true", help="only the district against the floors")
    args = parser.parse_args()
    if args.exe:
        WINDOWS = ["wine", os.path.abspath(args.exe)]
    if args.cli:
        LINUX = [os.path.abspath(args.cli)]
    sys.stdout.reconfigure(line_buffering=True)
    for tool in (LINUX[0], WINDOWS[1], LINUX_FLOOR[0], WINDOWS_FLOOR[1]):
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
    print(f"{time.strftime('%Y-%m-%d %H:%M')}, {os.cpu_count()} cores, load {os.getloadavg()[0]:.2f}, "
          f"{WINDOWS[1]}, {LINUX[0]}")
    try:
        with tempfile.TemporaryDirectory(prefix="tht-winbench-") as work:
            if not args.floors_only:
                wine_start = best([*WINDOWS, "--version"], runs=20)
                linux_start = best([*LINUX, "--version"], runs=20)
                print(f"start-up, --version: Linux {linux_start * 1000:.1f} ms, "
                      f"Windows under Wine {wine_start * 1000:.1f} ms")
                print(f"{'':<28} {'':<9} {'Linux s':>8} {'Wine s':>9} {'run s':>9} {'ratio':>6}")
                rooms = 200_000 if args.quick else 2_000_000
                folder = run_bench.generated(work, args.data, f"rooms-{rooms}-third", "--rooms-only", str(rooms),
                                             "--accents", "third")
                compare(f"rooms file, {rooms:,} lines", work, folder, wine_start, ["exportar"])
                run_bench.removed(folder, args.data)
                for schools in ((10, 100) if args.quick else (100, 1000)):
                    folder = run_bench.generated(work, args.data, f"d{schools}-third", "--schools", str(schools),
                                                 "--accents", "third")
                    compare(f"district, {schools:,} schools", work, folder, wine_start, ["exportar", "importar"])
                    timetable = os.path.join(folder, run_bench.TIMETABLE)
                    if os.path.exists(timetable):
                        os.remove(timetable)
                    run_bench.removed(folder, args.data)
            district_against_floors(work, args.data, 200 if args.quick else 4000)
    finally:
        subprocess.run(["wineserver", "-k"], **quiet)
    print(f"load at the end {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
