#!/usr/bin/env python3
"""Prints the speed and memory figures of exportar and importar, each with its goal.

    bench/run_bench.py [--quick] [--cli PATH] [--data DIR]

Builds nothing: expects build-bench/ (see bench/README.md). Every figure is a
median of five runs after one warm-up run; where a figure is compared with a
reference program, the five runs of each are alternated (reference, ours,
reference, ours, ...) and the ratio is that of the two medians. CPU is user
plus system time of the process; peak memory its largest resident set.
With --data, the generated inputs are kept in DIR and reused by later runs.
"""
import argparse
import hashlib
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build-bench")
CLI = os.path.join(BUILD, "src", "transhoralotuxa-cli")
FLOOR = os.path.join(BUILD, "bench", "tht_bench_floor")
PLAIN = os.path.join(BUILD, "bench", "tht_bench_plain_export")
IO_FLOOR = os.path.join(BUILD, "bench", "tht_bench_io_floor")
GEN = os.path.join(ROOT, "bench", "generate_district.py")
RUNS = 5
MIB = 2**20

# The goals, each written once.
STARTUP_MS = 20
ROOMS_TIMES_FLOOR = 1.25
EXPORT_TIMES_PLAIN = 1.5
RUN_TIMES_IO_FLOOR = 2
MEMORY_ABOVE_LARGEST_TABLE = 64 * MIB
FLAT_PER_LINE = 1.2

ACCENT_LABELS = {"all": "every name accented", "third": "a third of the names accented"}


@dataclass
class Run:
    wall: float  # seconds, measured here around the process (and /usr/bin/time)
    cpu: float  # user + system seconds of the process (and /usr/bin/time's, under a millisecond)
    peak: int  # largest resident set, bytes
    out: str  # standard output


def run(args, ok=(0,)):
    # Peak memory through /usr/bin/time: a child of this Python process would
    # inherit its high-water mark, since Linux copies it across fork and exec.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, \
            tempfile.NamedTemporaryFile(mode="r") as peak:
        start = time.perf_counter()
        p = subprocess.Popen(["/usr/bin/time", "-q", "-f", "%M", "-o", peak.name] + args, stdout=out, stderr=err)
        _, status, usage = os.wait4(p.pid, 0)
        wall = time.perf_counter() - start
        p.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        err.seek(0)
        if p.returncode not in ok:
            sys.exit(f"failed with {p.returncode}: {' '.join(args)}\n{err.read().decode(errors='replace')}")
        return Run(wall, usage.ru_utime + usage.ru_stime, int(peak.read().split()[-1]) * 1024, out.read().decode())


def median(runs, key):
    return statistics.median(key(r) for r in runs)


def alternated(*programs):
    """RUNS runs of each after a warm-up of each, in turn in the order given
    (references first, ours last): one list of runs per program."""
    for program in programs:
        program()
    rounds = [[program() for program in programs] for _ in range(RUNS)]
    return [list(runs) for runs in zip(*rounds)]


def exportar(folder, htemp):
    # Exit 1 is a completed run with status -1: the rooms folder has no other file.
    return run([CLI, "exportar", folder, "--htemp", htemp, "--quiet"], ok=(0, 1))


def generate(folder, *args):
    subprocess.run([sys.executable, GEN, folder, *args], check=True)


def generated(work, data, name, *args):
    """A folder the generator made with these arguments: in DATA, made once and
    reused while the arguments and the generator stay the same, else in WORK,
    made afresh. Runs may add TUXA_HORARIO.TXT to it, which nothing here reads."""
    if not data:
        folder = os.path.join(work, name)
        generate(folder, *args)
        return folder
    folder = os.path.join(data, name)
    stamp = os.path.join(folder, ".generated")
    with open(GEN, "rb") as f:
        recipe = json.dumps({"args": list(args), "generator": hashlib.sha256(f.read()).hexdigest()})
    if os.path.exists(stamp):
        with open(stamp) as f:
            if f.read() == recipe:
                return folder
    shutil.rmtree(folder, ignore_errors=True)
    generate(folder, *args)
    with open(stamp, "w") as f:
        f.write(recipe)
    return folder


def removed(folder, data):
    """Removes a generated folder unless it is kept in DATA."""
    if not data:
        shutil.rmtree(folder)


def verdict(value, goal):
    return f"(goal <= {goal:g}: {'met' if value <= goal else 'NOT met'})"


def ratio_line(measure, ours, reference_label, reference, goal, verb="exportar"):
    r = ours / reference
    return f"  {measure:<5} {verb} {ours:.3f} s, {reference_label} {reference:.3f} s: {r:.2f} x {verdict(r, goal)}"


def same_but_date(a, b):
    """"" when two tables are the same bytes but for the date of the header
    (bytes 1-3), else where they first differ."""
    if os.path.getsize(a) != os.path.getsize(b):
        return f"{os.path.getsize(a)} bytes against {os.path.getsize(b)}"
    with open(a, "rb") as fa, open(b, "rb") as fb:
        offset = 0
        while x := fa.read(MIB):
            y = fb.read(MIB)
            if offset == 0:
                x, y = x[:1] + b"DAT" + x[4:], y[:1] + b"DAT" + y[4:]
            if x != y:
                return f"first difference at byte {offset + next(i for i in range(len(x)) if x[i] != y[i])}"
            offset += len(x)
    return ""


def accented_share(path):
    """Share of data lines holding a byte above 127."""
    total = accented = 0
    with open(path, "rb") as f:
        for line in f:
            if line[:1] in (b"0", b"9"):
                continue
            total += 1
            accented += not line.isascii()
    return accented / max(total, 1)


def startup(work):
    """Best of 20 wall times of the smallest runs: start-up cost, nothing else."""
    empty = os.path.join(work, "empty")
    os.makedirs(empty, exist_ok=True)
    for label, args in (("--version", [CLI, "--version"]),
                        ("exportar of an empty folder", [CLI, "exportar", empty, "--htemp", os.path.join(work, "eh"),
                                                         "--quiet"])):
        best = min(wall(args) for _ in range(20))
        print(f"start-up, {label}: {best * 1000:.1f} ms {verdict(best * 1000, STARTUP_MS)}")


def wall(args):
    """Wall seconds of one run, without /usr/bin/time around it."""
    start = time.perf_counter()
    subprocess.run(args, capture_output=True)
    return time.perf_counter() - start


def rooms_step(work, data, lines, accents):
    folder = generated(work, data, f"rooms-{lines}-{accents}", "--rooms-only", str(lines), "--accents", accents)
    source = os.path.join(folder, "tuxa_aulas.txt")
    ours_dir, floor_dir = os.path.join(work, "rooms-ours"), os.path.join(work, "rooms-floor")
    os.makedirs(ours_dir, exist_ok=True)
    os.makedirs(floor_dir, exist_ok=True)
    floor, ours = alternated(lambda: run([FLOOR, source, os.path.join(floor_dir, "AULAT.DBF")]),
                             lambda: exportar(folder, ours_dir))
    table = os.path.join(ours_dir, "AULAT.DBF")
    difference = same_but_date(table, os.path.join(floor_dir, "AULAT.DBF"))
    if difference:
        sys.exit(f"the floor's AULAT is not exportar's: {difference}; the comparison would be void")
    flush = median(floor, lambda r: float(r.out))
    print(f"rooms step, {lines:,} lines, {ACCENT_LABELS[accents]} "
          f"({accented_share(source):.0%} of the lines hold accented letters):")
    print(ratio_line("CPU", median(ours, lambda r: r.cpu), "floor", median(floor, lambda r: r.cpu),
                     ROOMS_TIMES_FLOOR))
    print(ratio_line("wall", median(ours, lambda r: r.wall), f"floor (flush and rename {flush:.3f} s of it)",
                     median(floor, lambda r: r.wall), ROOMS_TIMES_FLOOR))
    print(f"  AULAT {os.path.getsize(table) / MIB:.0f} MiB, the floor's byte for byte but for the date; "
          f"exportar peak {median(ours, lambda r: r.peak) / MIB:.0f} MiB")
    removed(folder, data)
    shutil.rmtree(ours_dir)
    shutil.rmtree(floor_dir)


TIMETABLE = "TUXA_HORARIO.TXT"
# The tables importar reads, beside the solution; of TUXA's files it reads
# only the first lines of the subjects file, which the floor leaves out.
REPORT = "INFORME_TRANSHORALOTUXA.TXT"
IMPORT_TABLES = ("SOLUC.DBF", "GRUPOST.DBF", "PROFT.DBF", "AULAT.DBF", "ASIGNOMT.DBF", "DIASHORAST.DBF")


def tuxa_inputs(folder):
    """The TUXA files exportar reads: every text file of the folder but the timetable."""
    return sorted(os.path.join(folder, n) for n in os.listdir(folder)
                  if n.lower().endswith(".txt") and n.upper() != TIMETABLE)


def count_lines(folder):
    total = 0
    for path in tuxa_inputs(folder):
        with open(path, "rb") as f:
            total += sum(1 for _ in f)
    return total


def written(folder, names=None):
    """(path, bytes) of the files a run left in folder (those named, or every
    file but hidden ones: the lock)."""
    names = names or sorted(n for n in os.listdir(folder) if not n.startswith("."))
    return [(os.path.join(folder, n), os.path.getsize(os.path.join(folder, n))) for n in names]


class IoFloor:
    """The whole-run I/O floor for one run: its inputs, and its outputs' sizes
    as the run left them, written under the same names in other folders."""

    def __init__(self, program, inputs, outputs, folders):
        self.inputs = inputs
        self.outputs = [(os.path.join(folders[os.path.dirname(p)], os.path.basename(p)), n) for p, n in outputs]
        self.args = list(program)
        for path in inputs:
            self.args += ["--read", path]
        for path, size in self.outputs:
            self.args += ["--write", path, str(size)]
        for folder in folders.values():
            os.makedirs(folder, exist_ok=True)

    def __call__(self):
        return run(self.args)

    def describe(self):
        read = sum(os.path.getsize(p) for p in self.inputs)
        wrote = sum(n for _, n in self.outputs)
        return (f"reads {len(self.inputs)} files, {read / MIB:.0f} MiB; "
                f"writes {len(self.outputs)} files, {wrote / MIB:.0f} MiB")


def floor_lines(verb, ours, floor, goal=RUN_TIMES_IO_FLOOR):
    flush = median(floor, lambda r: float(r.out))
    print(ratio_line("CPU", median(ours, lambda r: r.cpu), "floor", median(floor, lambda r: r.cpu), goal, verb))
    print(ratio_line("wall", median(ours, lambda r: r.wall), f"floor (flushes and renames {flush:.3f} s of it)",
                     median(floor, lambda r: r.wall), goal, verb))


def soluc_entries(path):
    with open(path, "rb") as f:
        return int.from_bytes(f.read(8)[4:8], "little")


@dataclass
class Scale:
    schools: int
    lines: int
    export: list
    entries: int
    import_: list
    largest: int  # bytes of the largest table written


def memory_line(peak, what, size):
    limit = size + MEMORY_ABOVE_LARGEST_TABLE
    return (f"  peak  {peak / MIB:.0f} MiB (goal <= {what} {size / MIB:.0f} MiB + "
            f"{MEMORY_ABOVE_LARGEST_TABLE // MIB} MiB = {limit / MIB:.0f} MiB: {'met' if peak <= limit else 'NOT met'})")


def district(work, data, schools, accents="third", against_plain=False, against_floor=False, with_import=True):
    """Five exportar runs, and five importar runs, of a district of that many schools;
    with against_plain, the exportar runs alternate with the plain program's;
    with against_floor, both alternate with their I/O floor's too."""
    folder = generated(work, data, f"d{schools}-{accents}", "--schools", str(schools), "--accents", accents)
    htemp = os.path.join(work, f"h{schools}-{accents}")
    os.makedirs(htemp)
    timetable = os.path.join(folder, TIMETABLE)
    if os.path.exists(timetable):
        os.remove(timetable)
    lines = count_lines(folder)
    ours = lambda: exportar(folder, htemp)
    references = []
    ours()
    if against_plain:
        reference = os.path.join(work, "reference")
        shutil.copytree(htemp, reference)
        plain_out = os.path.join(work, "plain")
        os.makedirs(plain_out)
        references.append(lambda: run([PLAIN, folder, reference, plain_out]))
    if against_floor:
        export_floor = IoFloor([IO_FLOOR], tuxa_inputs(folder), written(htemp),
                               {htemp: os.path.join(work, "floor-htemp")})
        references.append(export_floor)
    *measured, export = alternated(*references, ours) if references else [[ours() for _ in range(RUNS)]]
    largest = max(os.path.getsize(p) for p, _ in written(htemp))
    if against_plain:
        plain = measured[0]
        plain_wall = statistics.median(float(r.out.split()[0]) for r in plain)
        plain_cpu = statistics.median(float(r.out.split()[1]) for r in plain)
        shutil.rmtree(reference)
        shutil.rmtree(plain_out)
        print(f"exportar, {schools:,} schools ({lines:,} lines), {ACCENT_LABELS[accents]}:")
        print(ratio_line("CPU", median(export, lambda r: r.cpu), "plain program", plain_cpu, EXPORT_TIMES_PLAIN))
        print(ratio_line("wall", median(export, lambda r: r.wall), "plain program", plain_wall, EXPORT_TIMES_PLAIN))
        print(memory_line(max(r.peak for r in export), "largest table", largest))
    if against_floor:
        print(f"exportar, {schools:,} schools, against its I/O floor ({export_floor.describe()}):")
        floor_lines("exportar", export, measured[-1])
    if not with_import:
        removed(folder, data)
        shutil.rmtree(htemp)
        return None
    soluc = os.path.join(htemp, "SOLUC.DBF")
    shutil.copy(os.path.join(folder, "SOLUC.DBF"), soluc)
    entries = soluc_entries(soluc)
    ours = lambda: run([CLI, "importar", folder, "--htemp", htemp, "--quiet"])
    ours()
    if against_floor:
        import_floor = IoFloor([IO_FLOOR], [os.path.join(htemp, n) for n in IMPORT_TABLES],
                               written(folder, [TIMETABLE]) + written(htemp, [REPORT]),
                               {folder: os.path.join(work, "floor-tuxa"), htemp: os.path.join(work, "floor-htemp")})
        floor, imports = alternated(import_floor, ours)
        print(f"importar, {schools:,} schools ({entries:,} entries), against its I/O floor "
              f"({import_floor.describe()}):")
        floor_lines("importar", imports, floor)
        print(memory_line(max(r.peak for r in imports), "solution table", os.path.getsize(soluc)))
    else:
        imports = [ours() for _ in range(RUNS)]
    os.remove(timetable)
    removed(folder, data)
    shutil.rmtree(htemp)
    return Scale(schools, lines, export, entries, imports, largest)


def scales_table(scales):
    print(f"{'schools':>8} {'lines':>10} {'export s':>9} {'CPU s':>7} {'lines/s':>11} {'MiB':>5} "
          f"{'entries':>9} {'import s':>9} {'CPU s':>7} {'entries/s':>11} {'MiB':>5}")
    for s in scales:
        ew, ec = median(s.export, lambda r: r.wall), median(s.export, lambda r: r.cpu)
        iw, ic = median(s.import_, lambda r: r.wall), median(s.import_, lambda r: r.cpu)
        print(f"{s.schools:>8,} {s.lines:>10,} {ew:>9.3f} {ec:>7.3f} {s.lines / ew:>11,.0f} "
              f"{max(r.peak for r in s.export) / MIB:>5.0f} {s.entries:>9,} {iw:>9.3f} {ic:>7.3f} "
              f"{s.entries / iw:>11,.0f} {max(r.peak for r in s.import_) / MIB:>5.0f}")


def flatness(scales, smallest):
    """Largest over smallest time per line among the scales from `smallest` schools up."""
    kept = [s for s in scales if s.schools >= smallest]
    label = f"time per line, {kept[0].schools:,} to {kept[-1].schools:,} schools, slowest / fastest scale:"
    parts = []
    for direction, runs, per in (("export", lambda s: s.export, lambda s: s.lines),
                                 ("import", lambda s: s.import_, lambda s: s.entries)):
        for measure, key in (("wall", lambda r: r.wall), ("CPU", lambda r: r.cpu)):
            per_line = [median(runs(s), key) / per(s) for s in kept]
            r = max(per_line) / min(per_line)
            parts.append(f"  {direction} {measure:<4} {r:.2f} "
                         f"({', '.join(f'{x * 1e6:.2f}' for x in per_line)} us per line) {verdict(r, FLAT_PER_LINE)}")
    print(label)
    print("\n".join(parts))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quick", action="store_true", help="smaller scales, for a smoke run")
    parser.add_argument("--cli", help="another build's transhoralotuxa-cli, to measure it against the same "
                                      "floors and plain program (an earlier commit, say)")
    parser.add_argument("--data", help="a folder outside the repository where the generated inputs are kept "
                                       "and reused (the full run's take about 2 GB and some minutes to make)")
    args = parser.parse_args()
    if args.cli:
        global CLI
        CLI = os.path.abspath(args.cli)
    sys.stdout.reconfigure(line_buffering=True)
    for tool in (CLI, FLOOR, PLAIN, IO_FLOOR):
        if not os.path.exists(tool):
            sys.exit(f"missing {tool}: build with bench/README.md first")
    rooms_lines = 200_000 if args.quick else 2_000_000
    sizes = (1, 100, 200) if args.quick else (1, 10, 100, 1000, 4000)
    flat_from = 100
    print(f"{time.strftime('%Y-%m-%d %H:%M')}, {os.cpu_count()} cores, load {os.getloadavg()[0]:.2f}"
          f"{', quick run' if args.quick else ''}{', ' + CLI if args.cli else ''}")
    with tempfile.TemporaryDirectory(prefix="tht-bench-") as work:
        startup(work)
        for accents in ("all", "third"):
            rooms_step(work, args.data, rooms_lines, accents)
        scales = [district(work, args.data, n, against_plain=n == sizes[-1], against_floor=n == sizes[-1])
                  for n in sizes]
        district(work, args.data, sizes[-1], accents="all", against_plain=True, with_import=False)
        scales_table(scales)
        flatness(scales, flat_from)
    print(f"load at the end {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
