#!/usr/bin/python3
"""Runs two builds of the command line on the same schools and says whether
they leave the same files: the six tables (but for the date in their header),
TUXA_HORARIO.TXT (but for its date and time), the exit codes and what they
print. For a change that must not change any output.

    bench/compare_builds.py REFERENCE_CLI NEW_CLI [--schools N] [--keep DIR]

The schools: the example (examples/escuela with examples/horalina/SOLUC.DBF)
in windows-1252 and saved as UTF-8, and a district from generate_district.py,
a third of its names accented and then all of them, in windows-1252,
ISO-8859-15 (named by TUXA_CODEPAGE) and UTF-8 (found by its content, and
named). Every table is also read by dbfread, an independent reader.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLES = ["ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST"]
TIMETABLE = "TUXA_HORARIO.TXT"


def recode(src, dst, page):
    """The TUXA files of src (windows-1252) into dst in another page; SOLUC.DBF as it is."""
    os.makedirs(dst)
    for name in os.listdir(src):
        data = open(os.path.join(src, name), "rb").read()
        if name.lower().endswith(".txt") and page != "windows-1252":
            data = data.decode("cp1252").encode({"ISO-8859-15": "iso8859_15", "UTF-8": "utf-8"}[page])
        open(os.path.join(dst, name), "wb").write(data)


def run(cli, args, env_page):
    env = dict(os.environ)
    env.pop("TUXA_CODEPAGE", None)
    if env_page:
        env["TUXA_CODEPAGE"] = env_page
    p = subprocess.run([cli, *args], capture_output=True, env=env)
    # Paths differ between the two runs: only their own names are compared.
    return p.returncode, re.sub(rb"/\S*/", b"/", p.stdout)


def one_build(cli, school, work, env_page):
    """The files and outcomes one build leaves for one school."""
    tuxa = os.path.join(work, "tuxa")
    htemp = os.path.join(work, "htemp")
    shutil.copytree(school, tuxa, ignore=shutil.ignore_patterns("SOLUC.DBF"))
    os.makedirs(htemp)
    outcome = [run(cli, ["exportar", tuxa, "--htemp", htemp, "--quiet"], env_page)]
    shutil.copy(os.path.join(school, "SOLUC.DBF"), os.path.join(htemp, "SOLUC.DBF"))
    outcome.append(run(cli, ["importar", tuxa, "--htemp", htemp, "--quiet"], env_page))
    files = {t: os.path.join(htemp, t + ".DBF") for t in TABLES}
    files[TIMETABLE] = os.path.join(tuxa, TIMETABLE)
    return outcome, files


def masked(name, data):
    if name == TIMETABLE:
        # The title line and the one before the last carry the date and time
        # of the run in their columns 60-71.
        bom = b"\xef\xbb\xbf" if data.startswith(b"\xef\xbb\xbf") else b""
        lines = data[len(bom):].split(b"\r\n")
        for i in {0, len(lines) - 2} if len(lines) >= 2 else {0}:
            lines[i] = lines[i][:59] + b"#" * len(lines[i][59:71]) + lines[i][71:]
        return bom + b"\r\n".join(lines)
    return data[:1] + b"DAT" + data[4:]


def dbfread_check(path):
    """None when dbfread reads every record, else what it said."""
    code = ("import sys, dbfread\n"
            "t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict', load=False)\n"
            "print(sum(1 for _ in t))\n")
    p = subprocess.run(["/usr/bin/python3", "-c", code, path], capture_output=True, text=True)
    return None if p.returncode == 0 else p.stderr.strip().splitlines()[-1]


def compare(label, reference, new, school, env_page, keep):
    work = tempfile.mkdtemp(prefix="tht-compare-", dir=keep)
    try:
        ref_outcome, ref_files = one_build(reference, school, os.path.join(work, "ref"), env_page)
        new_outcome, new_files = one_build(new, school, os.path.join(work, "new"), env_page)
        problems = []
        if ref_outcome != new_outcome:
            problems.append(f"exit codes or output differ: {ref_outcome} against {new_outcome}")
        for name in ref_files:
            a, b = ref_files[name], new_files[name]
            if not os.path.exists(a) or not os.path.exists(b):
                if os.path.exists(a) != os.path.exists(b):
                    problems.append(f"{name}: written by one build only")
                continue
            if masked(name, open(a, "rb").read()) != masked(name, open(b, "rb").read()):
                problems.append(f"{name}: differs")
            if name != TIMETABLE and (err := dbfread_check(b)):
                problems.append(f"{name}: dbfread: {err}")
        codes = "/".join(str(code) for code, _ in new_outcome)
        print(f"{label:<48} exit {codes:<5} {'same' if not problems else 'DIFFERENT'}")
        for p in problems:
            print(f"    {p}")
        return not problems
    finally:
        if not keep:
            shutil.rmtree(work)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("reference")
    parser.add_argument("new")
    parser.add_argument("--schools", type=int, default=40, help="schools of the generated districts (default 40)")
    parser.add_argument("--keep", help="leave the runs' folders under this folder")
    args = parser.parse_args()
    reference, new = os.path.abspath(args.reference), os.path.abspath(args.new)
    ok = True
    with tempfile.TemporaryDirectory(prefix="tht-schools-") as schools:
        example = os.path.join(schools, "escuela")
        shutil.copytree(os.path.join(ROOT, "examples", "escuela"), example)
        shutil.copy(os.path.join(ROOT, "examples", "horalina", "SOLUC.DBF"), example)
        cases = [("example, windows-1252", example, None)]
        recode(example, example + "-utf8", "UTF-8")
        cases += [("example saved as UTF-8", example + "-utf8", None),
                  ("example saved as UTF-8, named", example + "-utf8", "UTF-8")]
        for accents in ("third", "all"):
            district = os.path.join(schools, f"district-{accents}")
            subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_district.py"),
                            "--schools", str(args.schools), "--accents", accents, district], check=True)
            cases.append((f"district ({accents} accented), windows-1252", district, None))
            for page in ("ISO-8859-15", "UTF-8"):
                recode(district, f"{district}-{page}", page)
                cases.append((f"district ({accents} accented), {page}", f"{district}-{page}", page))
            cases.append((f"district ({accents} accented), UTF-8 found", f"{district}-UTF-8", None))
        for label, school, env_page in cases:
            ok &= compare(label, reference, new, school, env_page, args.keep)
    print("all the same" if ok else "SOME DIFFER")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
