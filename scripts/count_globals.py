#!/usr/bin/env python3
"""Counts the program's mutable process-wide variables.

A heuristic: the data and zero-filled symbols (nm types b, B, d, D) of the
objects of the core library and the back ends' modules, less what the
compiler makes (guard variables, vtables, type information) and less the
variables whose declaration in the source says const or constexpr (a const
object built at start-up still lands in those sections). What is left is
state that lives as long as the process: namespace-scope variables and
function statics.

The build may be a Windows one (build-win32, build-win64: COFF objects, read
with the build's own nm). There nm also lists the sections themselves
(.bss, .data, .data$NAME for a variable the linker keeps one of), which are
not variables; a thread_local variable is emulated, as __emutls_v.NAME; and
a variable kept once by the linker (a static of an inline function) is in
every object that uses it, so each global variable is counted once.

usage: scripts/count_globals.py [BUILD_DIR]   (default build/)
Prints one line a variable (source file and name), then the count.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COMPILER_MADE = re.compile(r"guard variable|vtable|typeinfo|VTT|__ioinit")
# The control variable of an emulated thread_local (Windows), before the
# variable's own (mangled) name.
EMULATED_TLS = re.compile(r"^_*emutls_v\.")


def core_objects(build):
    """(object, source) of the core library and of the back ends' modules
    (kaldorin-NAME), each source once: a module's source may have left an
    older object in the core's folder."""
    folders = os.path.join(build, "CMakeFiles")
    targets = sorted(d for d in os.listdir(folders) if d.startswith("kaldorin-") and d.endswith(".dir"))
    seen = set()
    for target in targets + ["kaldorin_core.dir"]:
        folder = os.path.join(folders, target)
        for dirpath, _, names in os.walk(folder):
            for name in names:
                if name.endswith(".o") or name.endswith(".obj"):
                    obj = os.path.join(dirpath, name)
                    source = re.sub(r"\.(o|obj)$", "", os.path.relpath(obj, folder))
                    if source not in seen:
                        seen.add(source)
                        yield obj, source


def nm_of(build):
    """The nm the build names (a cross build's own), else the host's."""
    try:
        with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as f:
            for line in f:
                m = re.match(r"^CMAKE_NM:FILEPATH=(.+)$", line.strip())
                if m and os.path.exists(m.group(1)):
                    return m.group(1)
    except OSError:
        pass
    return "nm"


def demangled(name):
    out = subprocess.run(["c++filt", name], capture_output=True, text=True).stdout.strip()
    return out or name


def variables(obj, nm="nm"):
    out = subprocess.run([nm, "-C", obj], capture_output=True, text=True).stdout
    for line in out.splitlines():
        m = re.match(r"^[0-9a-fA-F]+ ([bBdD]) (.*)$", line)
        if not m or m.group(2).startswith("."):  # a section, not a variable
            continue
        name = m.group(2)
        if EMULATED_TLS.match(name):
            name = demangled(EMULATED_TLS.sub("", name))
        if not COMPILER_MADE.search(name):
            yield m.group(1), name


def declared_const(source, symbol):
    """Whether the variable's declaration in source says it cannot change.

    `const T* p` is a pointer that can change; `T* const p`, `const T x` and
    constexpr cannot. A declaration whose line begins with the closing brace
    of an unnamed struct is read from the line that opens the struct.
    """
    name = re.sub(r"\[abi:[^]]*\]", "", symbol).split("::")[-1]
    try:
        lines = open(os.path.join(ROOT, source), encoding="latin-1").read().splitlines()
    except OSError:
        return False
    decl = re.compile(r"^([^(/]*?)\b%s\b\s*(\[[^]]*\]\s*)*(=|;|\{|\()" % re.escape(name))
    for i, line in enumerate(lines):
        m = decl.match(line)
        if not m or re.match(r"\s*(return|if|for|while)\b", line):
            continue
        before = m.group(1)
        if before.strip().startswith("}"):
            j = i
            while j > 0 and "struct" not in lines[j]:
                j -= 1
            before = lines[j]
        if "constexpr" in before:
            return True
        if "*" in before:
            return "const" in before[before.rindex("*"):]
        if re.search(r"\bconst\b", before):
            return True
        if re.search(r"\b(static|thread_local)\b", before) or not before.startswith(" "):
            return False
    return False


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    nm = nm_of(build)
    found, seen = [], set()
    for obj, source in core_objects(build):
        if not os.path.exists(os.path.join(ROOT, source)):
            continue  # left in the build folder by a source that is gone
        for kind, symbol in variables(obj, nm):
            # A global symbol is one variable wherever it is defined; a
            # local one is the object's own.
            key = symbol if kind.isupper() else (source, symbol)
            if key not in seen and not declared_const(source, symbol):
                seen.add(key)
                found.append((source, symbol))
    for source, symbol in sorted(found):
        print(f"{source}: {symbol}")
    print(f"{len(found)} mutable process-wide variables")


if __name__ == "__main__":
    main()
