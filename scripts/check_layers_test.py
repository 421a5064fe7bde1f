#!/usr/bin/env python3
"""Tests of check_layers.py, each on a small tree of its own: includes that
run up or sideways are caught, and so is a layer table in ARCHITECTURE.md
that no longer matches the script's order, or whose column "May include
from" says less (or, as a warning, more) than the includes."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402


def allowed_by_order(folder):
    """The column that names every layer the order allows."""
    if folder not in check_layers.RANK:
        return "0"
    ranks = [check_layers.RANK[f] for f in check_layers.order_allows(folder)]
    if not ranks:
        return "itself only"
    return "0-%d" % max(ranks) if len(ranks) > 1 else "0"


def table(folders, columns=None):
    columns = columns or {}
    rows = ["| Folder | What | May include from |", "|---|---|---|"]
    rows += ["| `%s/` | something | %s |" % (f, columns.get(f, allowed_by_order(f))) for f in folders]
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
        code, out, self.warnings = self.run_check_with_warnings()
        return code, out

    def run_check_with_warnings(self):
        out, err = io.StringIO(), io.StringIO()
        old_argv = sys.argv
        sys.argv = ["check_layers.py", self.root]
        try:
            with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
                code = check_layers.main()
        finally:
            sys.argv = old_argv
        return code, out.getvalue(), err.getvalue()

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

    def test_an_include_the_column_leaves_out_fails(self):
        self.write("ARCHITECTURE.md", table(check_layers.LAYERS, {"6_console": "0-3, 5: not the voices"}))
        self.write("6_console/a.cpp", '#include "5_speech/speech.h"\n#include "3_audio/wave.h"\n')
        self.assertEqual(self.run_check(), (0, ""))
        self.write("6_console/b.cpp", '#include "4_voices/voice.h"\n')
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertEqual(len(out.splitlines()), 1)
        self.assertTrue(out.startswith(os.path.join("6_console", "b.cpp") + ":1: 4_voices/voice.h (not in the column"),
                        out)

    def test_a_column_the_order_forbids_or_that_cannot_be_read_fails(self):
        self.write("ARCHITECTURE.md", table(check_layers.LAYERS, {"3_audio": "0-4", "7_net": "0-6"}))
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("3_audio/ may include from 4_voices by its column, which the layer order forbids", out)
        self.assertIn("7_net/ may include from 5_speech 6_console by its column", out)
        for text in ("all of them", "0-12", "3-1", ""):
            self.write("ARCHITECTURE.md", table(check_layers.LAYERS, {"2_config": text}))
            code, out = self.run_check()
            self.assertEqual(code, 1, text)
            self.assertIn("2_config/: cannot read its column", out)

    def test_a_column_wider_than_the_includes_is_a_warning(self):
        self.write("ARCHITECTURE.md", table(check_layers.LAYERS, {"7_net": "0-2", "1_platform": "itself only"}))
        self.write("7_net/n.cpp", '#include "2_config/config.h"\n#include "0_base/a.h"\n')
        code, out, warnings = self.run_check_with_warnings()
        self.assertEqual((code, out), (0, ""))
        self.assertIn('the column "May include from" of 7_net/ names 1_platform, which none of its files includes',
                      warnings)
        self.assertNotIn("1_platform/ names", warnings)


if __name__ == "__main__":
    unittest.main()
