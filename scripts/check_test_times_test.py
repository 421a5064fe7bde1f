#!/usr/bin/env python3
"""Tests of check_test_times.py on reports written here: a slow case fails
the quick run unless the slow list names it (by name or pattern)."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_test_times  # noqa: E402

REPORT = """<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="3" time="4.5">
  <testsuite name="Fast" tests="1">
    <testcase name="Quick" status="run" time="0.01" classname="Fast" />
  </testsuite>
  <testsuite name="Slow" tests="2">
    <testcase name="Waits" status="run" time="%s" classname="Slow" />
    <testcase name="AlsoWaits" status="run" time="2.5" classname="Slow" />
  </testsuite>
</testsuites>
"""


class CheckTestTimes(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.reports = os.path.join(self.tmp.name, "reports")
        os.mkdir(self.reports)
        self.slow_list = os.path.join(self.tmp.name, "slow.txt")

    def tearDown(self):
        self.tmp.cleanup()

    def run_check(self, waits="3.0", slow=""):
        with open(os.path.join(self.reports, "area_tests.xml"), "w", encoding="utf-8") as f:
            f.write(REPORT % waits)
        with open(self.slow_list, "w", encoding="utf-8") as f:
            f.write("# comment\n\n" + slow)
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            code = check_test_times.main(["check_test_times.py", self.reports, self.slow_list])
        return code, out.getvalue()

    def test_cases_over_the_limit_fail_slowest_first(self):
        code, out = self.run_check()
        self.assertEqual(code, 1)
        lines = out.splitlines()
        self.assertEqual(len(lines), 2)
        self.assertTrue(lines[0].startswith("Slow.Waits: 3.0 s"), out)
        self.assertTrue(lines[1].startswith("Slow.AlsoWaits: 2.5 s"), out)

    def test_the_slow_list_names_them_by_name_or_pattern(self):
        self.assertEqual(self.run_check(slow="Slow.Waits  # waits\nSlow.Also*\n")[0], 0)
        self.assertEqual(self.run_check(slow="Slow.*\n")[0], 0)
        code, out = self.run_check(slow="Slow.Waits\n")
        self.assertEqual(code, 1)
        self.assertIn("Slow.AlsoWaits", out)

    def test_a_quick_run_says_its_slowest_case(self):
        code, out = self.run_check(waits="1.5", slow="Slow.AlsoWaits\n")
        self.assertEqual(code, 0)
        self.assertIn("3 cases, the slowest Slow.AlsoWaits in 2.50 s", out)


if __name__ == "__main__":
    unittest.main()
