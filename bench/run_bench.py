#!/usr/bin/env python3
"""Prints the speed and memory figures of exportar and importar.

    bench/run_bench.py [--quick]

Builds nothing: expects build-bench/ (see bench/README.md). For each scale it
generates a synthetic district, runs each direction five times and keeps the
best wall time; peak memory comes from /usr/bin/time.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLI = os.path.join(ROOT, "build-bench", "src", "transhoralotuxa-cli")
FLOOR = os.path.join(ROOT, "build-bench", "bench", "tht_bench_floor")
GEN = os.path.join(ROOT, "bench", "generate_district.py")


def timed(args, runs=5):
    """Best wall seconds (measured here, finer than /usr/bin/time's) and the
    largest peak RSS (KiB, from /usr/bin/time) over the runs."""
    best, peak = None, 0
    for _ in range(runs):
        start = time.perf_counter()
        out = subprocess.run(["/usr/bin/time", "-f", "%M"] + args, capture_output=True, text=True)
        seconds = time.perf_counter() - start
        if out.returncode not in (0, 1):
            sys.exit(f"failed: {' '.join(args)}\n{out.stderr}")
        best = seconds if best is None else min(best, seconds)
        peak = max(peak, int(out.stderr.strip().splitlines()[-1]))
    return best, peak


def count_lines(folder):
    total = 0
    for name in os.listdir(folder):
        if name.lower().endswith(".txt") and name != "TUXA_HORARIO.TXT":
            with open(os.path.join(folder, name), "rb") as f:
                total += sum(1 for _ in f)
    return total


def rooms_versus_floor(work, lines):
    folder = os.path.join(work, "rooms")
    subprocess.run([sys.executable, GEN, "--rooms-only", str(lines), folder], check=True)
    htemp = os.path.join(work, "rooms-htemp")
    os.makedirs(htemp, exist_ok=True)
    floor, _ = timed([FLOOR, os.path.join(folder, "tuxa_aulas.txt"), os.path.join(htemp, "FLOOR.DBF")])
    ours, peak = timed([CLI, "exportar", folder, "--htemp", htemp, "--quiet"])
    size = os.path.getsize(os.path.join(htemp, "AULAT.DBF"))
    print(f"rooms step, {lines:,} lines: floor {floor:.2f} s, exportar {ours:.2f} s, "
          f"ratio {ours / floor:.2f} (target <= 1.5); peak {peak / 1024:.0f} MiB, AULAT {size / 2**20:.0f} MiB")
    shutil.rmtree(folder)
    shutil.rmtree(htemp)


def district(work, schools):
    folder = os.path.join(work, f"d{schools}")
    subprocess.run([sys.executable, GEN, "--schools", str(schools), folder], check=True)
    htemp = os.path.join(work, f"h{schools}")
    os.makedirs(htemp, exist_ok=True)
    lines = count_lines(folder)
    export_s, export_peak = timed([CLI, "exportar", folder, "--htemp", htemp, "--quiet"])
    shutil.copy(os.path.join(folder, "SOLUC.DBF"), os.path.join(htemp, "SOLUC.DBF"))
    entries = (os.path.getsize(os.path.join(htemp, "SOLUC.DBF")) - 290) // 58
    import_s, import_peak = timed([CLI, "importar", folder, "--htemp", htemp, "--quiet"])
    largest = max(os.path.getsize(os.path.join(htemp, n)) for n in os.listdir(htemp) if n != "SOLUC.DBF")
    shutil.rmtree(folder)
    shutil.rmtree(htemp)
    return lines, entries, export_s, export_peak, import_s, import_peak, largest


def startup(work):
    """Best of 20 wall times of the smallest runs: start-up cost, nothing else."""
    empty = os.path.join(work, "empty")
    os.makedirs(empty, exist_ok=True)
    for label, args in (("--version", [CLI, "--version"]),
                        ("exportar of an empty folder", [CLI, "exportar", empty, "--htemp", os.path.join(work, "eh"),
                                                         "--quiet"])):
        best = min(wall(args) for _ in range(20))
        print(f"start-up, {label}: {best * 1000:.1f} ms (target < 20 ms)")


def wall(args):
    start = time.perf_counter()
    subprocess.run(args, capture_output=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quick", action="store_true", help="smaller scales, for a smoke run")
    args = parser.parse_args()
    for tool in (CLI, FLOOR):
        if not os.path.exists(tool):
            sys.exit(f"missing {tool}: build with bench/README.md first")
    with tempfile.TemporaryDirectory(prefix="tht-bench-") as work:
        startup(work)
        rooms_versus_floor(work, 200_000 if args.quick else 2_000_000)
        print(f"{'schools':>8} {'lines':>10} {'export s':>9} {'lines/s':>11} {'MiB':>6} "
              f"{'entries':>9} {'import s':>9} {'entries/s':>11} {'MiB':>6} {'mem limit MiB':>14}")
        per_line = {}
        for schools in ((1, 10, 100) if args.quick else (1, 10, 100, 1000, 4000)):
            lines, entries, es, ep, is_, ip, largest = district(work, schools)
            per_line[schools] = (es / lines, is_ / max(entries, 1))
            print(f"{schools:>8} {lines:>10,} {es:>9.3f} {lines / max(es, 1e-3):>11,.0f} {ep / 1024:>6.0f} "
                  f"{entries:>9,} {is_:>9.3f} {entries / max(is_, 1e-3):>11,.0f} {ip / 1024:>6.0f} "
                  f"{2 * largest / 2**20 + 64:>14.0f}")
        scales = sorted(per_line)
        for small, big in zip(scales[1:], scales[2:]):
            e = per_line[big][0] / per_line[small][0]
            i = per_line[big][1] / per_line[small][1]
            print(f"time per line, {big} schools / {small} schools: export {e:.2f}, import {i:.2f} (target <= 1.2)")


if __name__ == "__main__":
    main()
