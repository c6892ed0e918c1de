#!/usr/bin/python3
"""Two builds of the command line timed on the same district, run by run
alternately (reference first in every pair, after a warm-up of each), for
exportar and importar: median wall and CPU time, peak memory, and the ratio
of the medians. On a shared machine only the medians and ratios mean much.
With --floor, the run's I/O floor (tht_bench_io_floor, as run_bench.py runs
it) takes its turn in every round too, and both builds are given against it.

    bench/paired_runs.py REFERENCE_CLI NEW_CLI DISTRICT [--runs N] [--floor]

DISTRICT: a folder as generate_district.py writes it (TUXA files and SOLUC.DBF),
such as the cached /work/bench-data/d4000-third.
"""
import argparse
import os
import shutil
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_bench import IMPORT_TABLES, IO_FLOOR, MIB, REPORT, TIMETABLE, IoFloor, run, tuxa_inputs, written  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("reference")
    parser.add_argument("new")
    parser.add_argument("district")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--floor", action="store_true", help="alternate the I/O floor too (needs a build-bench tree)")
    args = parser.parse_args()
    clis = {"reference": os.path.abspath(args.reference), "new": os.path.abspath(args.new)}
    district = os.path.abspath(args.district)
    print(f"{district}, {args.runs} paired runs, load {os.getloadavg()[0]:.2f}")
    with tempfile.TemporaryDirectory(prefix="tht-paired-") as work:
        htemp = {k: os.path.join(work, k) for k in clis}
        for folder in htemp.values():
            os.makedirs(folder)
        # The TUXA folder is only read by exportar; importar writes its timetable there.
        tuxa = {k: os.path.join(work, "tuxa-" + k) for k in clis}
        for folder in tuxa.values():
            shutil.copytree(district, folder, ignore=shutil.ignore_patterns("SOLUC.DBF"))
        for command in ("exportar", "importar"):
            if command == "importar":
                for folder in htemp.values():
                    shutil.copy(os.path.join(district, "SOLUC.DBF"), folder)
            floor = None
            if args.floor:
                # The new build's outputs, as a first run leaves them, size the floor's writes.
                run([clis["new"], command, tuxa["new"], "--htemp", htemp["new"], "--quiet"], ok=(0, 1))
                floor = floor_of(command, tuxa["new"], htemp["new"], os.path.join(work, "floor-" + command))
            runs = {k: [] for k in clis}
            floors = []
            for i in range(args.runs + 1):
                for k, cli in clis.items():
                    r = run([cli, command, tuxa[k], "--htemp", htemp[k], "--quiet"], ok=(0, 1))
                    if i > 0:
                        runs[k].append(r)
                if floor:
                    r = floor()
                    if i > 0:
                        floors.append(r)
            med = {k: (statistics.median(r.wall for r in v), statistics.median(r.cpu for r in v),
                       max(r.peak for r in v)) for k, v in runs.items()}
            (rw, rc, rp), (nw, nc, np) = med["reference"], med["new"]
            print(f"{command}: wall {rw:.3f} s -> {nw:.3f} s ({nw / rw:.2f} x), "
                  f"CPU {rc:.3f} s -> {nc:.3f} s ({nc / rc:.2f} x), "
                  f"peak {rp / MIB:.0f} MiB -> {np / MIB:.0f} MiB")
            if floor:
                fw = statistics.median(r.wall for r in floors)
                fc = statistics.median(r.cpu for r in floors)
                print(f"  I/O floor ({floor.describe()}): wall {fw:.3f} s, CPU {fc:.3f} s; "
                      f"against it, wall {rw / fw:.2f} x -> {nw / fw:.2f} x, CPU {rc / fc:.2f} x -> {nc / fc:.2f} x")
    print(f"load at the end {os.getloadavg()[0]:.2f}")


def floor_of(command, tuxa, htemp, work):
    """The I/O floor of one run, sized by what that run read and left."""
    if command == "exportar":
        return IoFloor([IO_FLOOR], tuxa_inputs(tuxa), written(htemp), {htemp: os.path.join(work, "htemp")})
    return IoFloor([IO_FLOOR], [os.path.join(htemp, n) for n in IMPORT_TABLES],
                   written(tuxa, [TIMETABLE]) + written(htemp, [REPORT]),
                   {tuxa: os.path.join(work, "tuxa"), htemp: os.path.join(work, "htemp")})


if __name__ == "__main__":
    main()
