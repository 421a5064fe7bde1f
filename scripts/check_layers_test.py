#!/usr/bin/env python3
"""Tests of check_layers.py, each on a small tree of its own: includes that
run up or sideways are caught, and so is a layer table in ARCHITECTURE.md
that no longer matches the script's order."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402


def table(folders):
    rows = ["| Folder | What |", "|---|---|"]
    rows += ["| `%s/` | something |" % f for f in folders]
    return "# Architecture\n\n" + "\n".join(rows) + "\n\nText after the table.\n"


class CheckLayers(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name
        self.write("ARCHITECTURE.md", table(check_layers.LAYERS))

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)

    def run_check(self):
        out = io.StringIO()
        old_argv = sys.argv
        sys.argv = ["check_layers.py", self.root]
        try:
            with contextlib.redirect_stdout(out):
                code = check_layers.main()
        finally:
            sys.argv = old_argv
        return code, out.getvalue()

    def test_includes_downwards_and_a_matching_table_pass(self):
        self.write("6_console/a.cpp", '#include "5_speech/speech.h"\n#include "6_console/b.h"\n')
        self.write("7_net/n.cpp", '#include "2_config/config.h"\n#include <vector>\n')
        self.assertEqual(self.run_check(), (0, ""))

    def test_include_upwards_and_net_beside_console_are_named(self):
        self.write("3_audio/w.cpp", '// one\n#include "6_console/console.h"\n')
        self.write("7_net/n.cpp", '#include "6_console/console.h"\n#include "5_speech/speech.h"\n')
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertEqual(out.splitlines(), [
            os.path.join("3_audio", "w.cpp") + ":2: 6_console/console.h",
            os.path.join("7_net", "n.cpp") + ":1: 6_console/console.h",
            os.path.join("7_net", "n.cpp") + ":2: 5_speech/speech.h",
        ])

    def test_table_out_of_order_fails(self):
        swapped = list(check_layers.LAYERS)
        swapped[6], swapped[7] = swapped[7], swapped[6]
        self.write("ARCHITECTURE.md", table(swapped))
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("ARCHITECTURE.md: the layer table lists", out)
        self.assertIn("7_net 6_console", out)

    def test_table_missing_a_layer_or_with_one_more_fails(self):
        self.write("ARCHITECTURE.md", table(check_layers.LAYERS[:-1]))
        self.assertEqual(self.run_check()[0], 1)
        self.write("ARCHITECTURE.md", table(check_layers.LAYERS + ["10_more"]))
        self.assertEqual(self.run_check()[0], 1)

    def test_page_without_table_or_missing_fails(self):
        self.write("ARCHITECTURE.md", "# Architecture\n\nNo table here.\n")
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("lists nothing", out)
        os.remove(os.path.join(self.root, "ARCHITECTURE.md"))
        code, out = self.run_check()
        self.assertEqual((code, out.strip()), (1, "ARCHITECTURE.md: missing (it lists the layers in order)"))


if __name__ == "__main__":
    unittest.main()
