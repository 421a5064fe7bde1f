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
begin with a folder name in back quotes (| `0_base/` | ... | 0-3, 5 |); the
check fails too when that table and the list below differ, so that the page
stays true. The last column of a row, "May include from", says which layers
below the folder's files include ("itself only", or ranks and ranges of
ranks, then a remark after a colon): an include of a layer the column leaves
out fails, and so does a column that names a layer the order forbids; a
column that names a layer none of the folder's files includes is reported
as a warning (on standard error), as the page then says more than the code.

Prints one line per violation (file:line: include, or ARCHITECTURE.md: and
what differs) and exits 1 when there are any; exits 0 and prints nothing
on standard output otherwise.
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


def includes(root):
    """(layer, file, line number, include, included layer) of every include
    of one of our folders by a file of a layer."""
    for layer in LAYERS:
        for folder, _, files in sorted(os.walk(os.path.join(root, layer))):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h", ".inc")):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="latin-1") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if m and m.group(1).split("/", 1)[0] in RANK:
                            target = m.group(1).split("/", 1)[0]
                            yield layer, os.path.relpath(path, root), number, m.group(1), target


def order_allows(layer):
    """The layers below `layer` that the order lets it include."""
    return {other for other in LAYERS[:RANK[layer]] if other not in APART.get(layer, ())}


def violations(root, columns=None):
    """Includes that break the order, or (given the columns of the page)
    the layer's column."""
    for layer, path, number, include, target in includes(root):
        if target == layer:
            continue
        if target not in order_allows(layer):
            yield "%s:%d: %s" % (path, number, include)
        elif columns and layer in columns and target not in columns[layer]:
            yield "%s:%d: %s (not in the column \"May include from\" of %s/ in %s: add it there if this is meant)" % (
                path, number, include, layer, DOC)


def documented_rows(root):
    """(folder, "May include from" text) of the layer table in
    ARCHITECTURE.md, in order; None when the page is missing."""
    try:
        with open(os.path.join(root, DOC), encoding="utf-8") as f:
            rows = [line for line in f if DOC_ROW.match(line)]
    except FileNotFoundError:
        return None
    cells = [[c.strip() for c in row.strip().strip("|").split("|")] for row in rows]
    return [(DOC_ROW.match(row).group(1), c[-1] if len(c) >= 3 else "") for row, c in zip(rows, cells)]


def documented_layers(root):
    """The folders of the layer table in ARCHITECTURE.md, in order; None
    when the page is missing."""
    rows = documented_rows(root)
    return None if rows is None else [folder for folder, _ in rows]


def read_column(text):
    """The layers a "May include from" text names: "itself only", or ranks
    and ranges of ranks ("0-3, 5"), a remark after a colon; None when it
    cannot be read."""
    ranks = text.split(":", 1)[0].strip()
    if ranks == "itself only":
        return set()
    named = set()
    for item in ranks.split(","):
        m = re.fullmatch(r"\s*(\d+)\s*(?:-\s*(\d+))?\s*", item)
        if not m:
            return None
        first, last = int(m.group(1)), int(m.group(2) or m.group(1))
        if last >= len(LAYERS) or first > last:
            return None
        named.update(LAYERS[first:last + 1])
    return named


def columns_of(root):
    """The layers each folder's column names, and what cannot be read or
    names a layer the order forbids; ({}, []) when the table itself differs
    from the order (that is reported on its own)."""
    rows = documented_rows(root)
    if rows is None or [folder for folder, _ in rows] != LAYERS:
        return {}, []
    columns, problems = {}, []
    for layer, text in rows:
        named = read_column(text)
        if named is None:
            problems.append("%s: %s/: cannot read its column \"May include from\": %r" % (DOC, layer, text))
            continue
        forbidden = sorted(named - order_allows(layer) - {layer}, key=RANK.get)
        if forbidden:
            problems.append("%s: %s/ may include from %s by its column, which the layer order forbids" % (
                DOC, layer, " ".join(forbidden)))
        columns[layer] = named - {layer}  # its own layer goes without saying
    return columns, problems


def unused_column_layers(root, columns):
    """Warnings for the layers a column names that none of the folder's
    files includes."""
    used = {layer: set() for layer in LAYERS}
    for layer, _, _, _, target in includes(root):
        used[layer].add(target)
    for layer in LAYERS:
        unused = sorted(columns.get(layer, set()) - used[layer], key=RANK.get)
        if unused:
            yield "warning: %s: the column \"May include from\" of %s/ names %s, which none of its files includes" % (
                DOC, layer, " ".join(unused))


def doc_differences(root):
    documented = documented_layers(root)
    if documented is None:
        yield "%s: missing (it lists the layers in order)" % DOC
    elif documented != LAYERS:
        yield "%s: the layer table lists %s; this script has %s" % (
            DOC, " ".join(documented) or "nothing", " ".join(LAYERS))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    columns, column_problems = columns_of(root)
    found = list(violations(root, columns)) + list(doc_differences(root)) + column_problems
    for v in found:
        print(v)
    for warning in unused_column_layers(root, columns):
        print(warning, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
