#!/usr/bin/env python3
"""The six tables of an export are in a Horalina folder and hold what a
reference export holds, read with dbfread (an independent reader).

    check_tables.py HTEMP REFERENCE_HTEMP
"""
import sys
from pathlib import Path

from dbfread import DBF

TABLES = ["ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST"]


def records(folder, name):
    table = DBF(str(Path(folder) / f"{name}.DBF"), load=True)
    return table.field_names, [dict(r) for r in table.records]


def main(htemp, reference):
    problems = []
    for name in TABLES:
        if not (Path(htemp) / f"{name}.DBF").is_file():
            problems.append(f"{name}.DBF is not in {htemp}")
            continue
        fields, rows = records(htemp, name)
        if (fields, rows) != records(reference, name):
            problems.append(f"{name} differs from {reference}")
        elif not rows:
            problems.append(f"{name} is empty")
    if problems:
        print("\n".join(problems), file=sys.stderr)
        return 1
    print(f"the six tables are in {htemp}, as in the reference")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
