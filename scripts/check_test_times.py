#!/usr/bin/env python3
"""Fails when a test case of the quick run took too long.

The quick run (scripts/test.sh --quick) is the one repeated while working,
so it stays quick by measurement: every GoogleTest program writes its report
(GTEST_OUTPUT=xml:FOLDER/), and a case that took longer than the limit (2 s,
or KALDORIN_QUICK_CASE_SECONDS) fails the run unless tests/slow_tests.txt
names it, and so leaves it out of the quick run.

usage: scripts/check_test_times.py REPORT_FOLDER [SLOW_LIST]
Prints one line a case over the limit (its time and name) and exits 1 when
there is one; prints the slowest case and exits 0 otherwise.
"""
import fnmatch
import os
import sys
import xml.etree.ElementTree as ElementTree

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_LIMIT = 2.0


def slow_patterns(path):
    """The GoogleTest patterns of the slow list, comments and blanks left out."""
    with open(path, encoding="utf-8") as f:
        lines = (line.split("#", 1)[0].strip() for line in f)
        return [line for line in lines if line]


def case_times(folder):
    """(Suite.Case, seconds) of every case in the reports of the folder."""
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".xml"):
            continue
        for case in ElementTree.parse(os.path.join(folder, name)).iter("testcase"):
            yield "%s.%s" % (case.get("classname"), case.get("name")), float(case.get("time", "0"))


def too_slow(times, patterns, limit):
    """The cases over the limit that no pattern names, slowest first."""
    over = [(t, name) for name, t in times
            if t > limit and not any(fnmatch.fnmatchcase(name, p) for p in patterns)]
    return sorted(over, reverse=True)


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip().splitlines()[-3], file=sys.stderr)
        return 2
    slow_list = argv[2] if len(argv) > 2 else os.path.join(ROOT, "tests", "slow_tests.txt")
    limit = float(os.environ.get("KALDORIN_QUICK_CASE_SECONDS", DEFAULT_LIMIT))
    times = list(case_times(argv[1]))
    over = too_slow(times, slow_patterns(slow_list), limit)
    for t, name in over:
        print("%s: %.1f s, over the quick run's %.1f s: make it quicker or name it in %s"
              % (name, t, limit, os.path.relpath(slow_list, ROOT)))
    if not over and times:
        t, name = max((t, name) for name, t in times)
        print("%d cases, the slowest %s in %.2f s" % (len(times), name, t))
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
