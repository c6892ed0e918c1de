#!/usr/bin/python3
"""Reads what a test pass left and says what a person needs from it.

    test_results.py [--junit FILE]... [--log FILE]...

--junit: a ctest --output-junit file, each test's output in it whole;
--log: the plain output of programs that ran test suites themselves.

Counts the cases inside each program (GoogleTest, Qt Test and Python's
unittest each give their own totals; a ctest test with none counts as one),
prints each failed ctest test's output in full (indented) and each skipped case with
its reason, and ends with one line: "N passed, N failed, N skipped".
"""
import ast
import os
import re
import sys
import xml.etree.ElementTree as ET

GTEST_RAN = re.compile(r"^\[==========\] \d+ tests? from \d+ test suites? ran", re.M)
GTEST_COUNT = re.compile(r"^\[  (PASSED|SKIPPED|FAILED)  ?\] (\d+) tests?[.,]", re.M)
GTEST_SKIP = re.compile(r"^\[ RUN      \] (\S+)\n(.*?)^\[  SKIPPED \] \1 \(", re.M | re.S)
QT_TOTALS = re.compile(r"^Totals: (\d+) passed, (\d+) failed, (\d+) skipped", re.M)
QT_SKIP = re.compile(r"^SKIP   : (\S+) (.*)$", re.M)
UNITTEST_RAN = re.compile(r"^Ran (\d+) tests? in [\d.]+s\n\n(OK|FAILED)(?: \((.*)\))?$", re.M)
UNITTEST_SKIP = re.compile(r"^(?!    ).*skipped '(.*)'$", re.M)
UNITTEST_CASE = re.compile(r"^(\w+) \(([\w.]+)\)", re.M)


class Counts:
    def __init__(self):
        self.passed = self.failed = self.skipped = 0
        self.reasons = []  # (case, reason)

    def add(self, passed, failed, skipped):
        self.passed += passed
        self.failed += failed
        self.skipped += skipped


def unquoted(reason):
    # unittest prints the reason as Python writes a string: C:\\HTEMP
    try:
        return ast.literal_eval(f"'{reason}'")
    except (SyntaxError, ValueError):
        return reason


def gtest_skip_reason(body):
    # "file.cpp:76: Skipped" and then the message streamed into GTEST_SKIP()
    lines = body.splitlines()
    for i, line in enumerate(lines):
        if line.endswith(": Skipped"):
            return " ".join(l.strip() for l in lines[i + 1:] if l.strip()) or "(no reason given)"
    return "(no reason given)"


def read_suites(text, counts):
    """Adds the totals every suite in text printed; False when there was none."""
    found = False
    for ran in GTEST_RAN.finditer(text):
        found = True
        tail = text[ran.end():]
        nxt = GTEST_RAN.search(tail)
        block = tail[:nxt.start()] if nxt else tail
        got = {"PASSED": 0, "SKIPPED": 0, "FAILED": 0}
        for kind, n in GTEST_COUNT.findall(block):
            got[kind] = int(n)
        counts.add(got["PASSED"], got["FAILED"], got["SKIPPED"])
    for case, body in GTEST_SKIP.findall(text):
        counts.reasons.append((case, gtest_skip_reason(body)))
    for passed, failed, skipped in QT_TOTALS.findall(text):
        found = True
        counts.add(int(passed), int(failed), int(skipped))
    for case, reason in QT_SKIP.findall(text):
        counts.reasons.append((case, reason.strip()))
    for ran, outcome, detail in UNITTEST_RAN.findall(text):
        found = True
        got = dict((k.strip(), int(v)) for k, v in (p.split("=") for p in detail.split(",") if "=" in p))
        failed = got.get("failures", 0) + got.get("errors", 0) + got.get("unexpected successes", 0)
        skipped = got.get("skipped", 0)
        counts.add(int(ran) - failed - skipped, failed, skipped)
    if UNITTEST_RAN.search(text):
        for skip in UNITTEST_SKIP.finditer(text):
            # "test_x (module.Class.test_x) ... skipped 'why'", the docstring
            # and the case's own output perhaps between the name and the verdict
            cases = UNITTEST_CASE.findall(text, 0, skip.end())
            name, where = cases[-1] if cases else ("", "a case")
            where = where.removeprefix("__main__.")
            case = where if where.endswith("." + name) or not name else f"{where}.{name}"
            counts.reasons.append((case, unquoted(skip.group(1))))
    return found


def read_junit(path, counts, failures):
    for case in ET.parse(path).getroot().iter("testcase"):
        out = case.findtext("system-out") or ""
        out = out.replace("\r\n", "\n")
        name = case.get("name")
        failed = case.find("failure") is not None
        skipped = case.find("skipped") is not None
        if failed:
            failures.append((name, out))
        if not read_suites(out, counts):
            counts.add(int(not failed and not skipped), int(failed), int(skipped))
            if skipped:
                message = case.find("skipped").get("message") or ""
                counts.reasons.append((name, message or "skipped by ctest"))
        elif failed and not re.search(r"FAILED|^FAIL!|^(FAIL|ERROR):", out, re.M):
            counts.add(0, 1, 0)  # it stopped before its suite could say so


def main(argv):
    counts, failures = Counts(), []
    args = iter(argv)
    for flag in args:
        path = next(args)
        if flag == "--junit":
            # none when the stage stopped before its tests: it says why itself
            if os.path.exists(path):
                read_junit(path, counts, failures)
        elif flag == "--log":
            with open(path, encoding="utf-8", errors="replace") as f:
                read_suites(f.read().replace("\r\n", "\n"), counts)
        else:
            sys.exit(__doc__)
    # Indented, so that a log that holds this output is not counted twice.
    for name, out in failures:
        print(f"  failed {name}:")
        for line in out.rstrip().splitlines():
            print("    " + line)
    seen = set()
    for case, reason in counts.reasons:
        if (case, reason) not in seen:
            seen.add((case, reason))
            print(f"  skipped {case}: {reason}")
    print(f"{counts.passed} passed, {counts.failed} failed, {counts.skipped} skipped")


if __name__ == "__main__":
    main(sys.argv[1:])
