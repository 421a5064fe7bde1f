#!/usr/bin/env python3
"""Fails when an include runs back up the layer order.

The program's folders are layers, bottom first, and the order is the list
below: the number in each folder's name is its rank. A source file may include
headers from its own layer and from layers below it (the network layer not
from the console's and the speech facade's), never from a layer above:
a lower layer that needs something of a higher one defines an interface that
the higher one implements. tests/, bench/, tools/ and fuzz/ sit on top of
everything and are not checked. Headers of the system and of libraries
(#include <...>) are not ours and not checked here; the rule that only
1_platform/linux/ includes system headers is kept by review.

The same order is written down in ARCHITECTURE.md, as the table whose rows
begin with a folder name in back quotes (| `0_base/` | ...); the check fails
too when that table and the list below differ, so that the page stays true.

Prints one line per violation (file:line: include, or ARCHITECTURE.md: and
what differs) and exits 1 when there are any; exits 0 and prints nothing
otherwise.
"""
import os
import re
import sys

LAYERS = [
    "0_base",         # codecs, INI file, wave format, speech log, the grid type
    "1_platform",     # the seam to the host, the event loop and the waits
    "2_config",       # Talven.ini and its key catalogue, settings readers
    "3_audio",        # wave player, conversions, beeps
    "4_voices",       # the speech engines and the recorded word voice
    "5_speech",       # the speech facade, spoken numbers and times
    "6_console",      # console, keys, field editor
    "7_net",          # TCP, TLS, HTTP
    "8_interpreter",  # the language
    "9_app",          # main, options, the embedded application, the viewer
]
RANK = {name: i for i, name in enumerate(LAYERS)}
# Below the interpreter, the network layer stands beside the console rather
# than on it: it talks to the user only through interfaces of its own, which
# the interpreter implements with the console and the speech facade.
APART = {"7_net": {"5_speech", "6_console"}}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
# A row of the layer table in ARCHITECTURE.md: | `0_base/` | ...
DOC_ROW = re.compile(r'^\|\s*`(\d+_\w+)/?`\s*\|')
DOC = "ARCHITECTURE.md"


def violations(root):
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h", ".inc")):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="latin-1") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1).split("/", 1)[0]
                        if target in RANK and (RANK[target] > RANK[layer] or target in APART.get(layer, ())):
                            yield "%s:%d: %s" % (os.path.relpath(path, root), number, m.group(1))


def documented_layers(root):
    """The folders of the layer table in ARCHITECTURE.md, in order; None
    when the page is missing."""
    try:
        with open(os.path.join(root, DOC), encoding="utf-8") as f:
            return [m.group(1) for m in map(DOC_ROW.match, f) if m]
    except FileNotFoundError:
        return None


def doc_differences(root):
    documented = documented_layers(root)
    if documented is None:
        yield "%s: missing (it lists the layers in order)" % DOC
    elif documented != LAYERS:
        yield "%s: the layer table lists %s; this script has %s" % (
            DOC, " ".join(documented) or "nothing", " ".join(LAYERS))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    found = list(violations(root)) + list(doc_differences(root))
    for v in found:
        print(v)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
