#!/usr/bin/python3
"""Two builds of the command line timed on the same district, run by run
alternately (reference first in every pair, after a warm-up of each), for
exportar and importar: median wall and CPU time, peak memory, and the ratio
of the medians. On a shared machine only the medians and ratios mean much.

    bench/paired_runs.py REFERENCE_CLI NEW_CLI DISTRICT [--runs N]

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
from run_bench import MIB, run  # noqa: E402  (the same measurement of a process)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("reference")
    parser.add_argument("new")
    parser.add_argument("district")
    parser.add_argument("--runs", type=int, default=5)
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
            runs = {k: [] for k in clis}
            for i in range(args.runs + 1):
                for k, cli in clis.items():
                    r = run([cli, command, tuxa[k], "--htemp", htemp[k], "--quiet"], ok=(0, 1))
                    if i > 0:
                        runs[k].append(r)
            med = {k: (statistics.median(r.wall for r in v), statistics.median(r.cpu for r in v),
                       max(r.peak for r in v)) for k, v in runs.items()}
            (rw, rc, rp), (nw, nc, np) = med["reference"], med["new"]
            print(f"{command}: wall {rw:.3f} s -> {nw:.3f} s ({nw / rw:.2f} x), "
                  f"CPU {rc:.3f} s -> {nc:.3f} s ({nc / rc:.2f} x), "
                  f"peak {rp / MIB:.0f} MiB -> {np / MIB:.0f} MiB")
    print(f"load at the end {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
