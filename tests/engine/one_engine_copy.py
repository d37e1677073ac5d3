#!/usr/bin/env python3
"""Every program holds one copy of the engine at most. A program that imports the shared
library (libostrakon.so, Ostrakon.dll) and also has the static engine's code linked in would
hold two pools of helper threads, two sets of memo tables and two lists of running searches,
its internals and its exports searching apart.

Reads the files only, with the toolchain's objdump (the imported libraries) and nm (the
engine's code: a defined function or variable in namespace ostrakon, which only the static
engine brings; the C exports do not count, since an import library defines stubs of them).

Usage: one_engine_copy.py OBJDUMP NM (--folder DIR | PROGRAM...)
       --folder takes every program of DIR (.exe files, or executable files that are not .so).
Prints what each program holds; exit 0, or 1 when a program holds two copies."""
import os
import re
import subprocess
import sys

SHARED = re.compile(r"NEEDED\s+libostrakon\.so|DLL Name:\s*Ostrakon\.dll", re.IGNORECASE)
STATIC = re.compile(r"^\S*\s+[TtDdBbRr] ostrakon::", re.MULTILINE)


def programs_in(folder):
    found = []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            continue
        if name.lower().endswith(".exe"):
            found.append(path)
        elif not name.endswith((".so", ".dll", ".a")) and os.access(path, os.X_OK):
            with open(path, "rb") as f:
                if f.read(4) == b"\x7fELF":
                    found.append(path)
    return found


def run(tool, *args):
    return subprocess.run([tool, *args], capture_output=True, text=True, errors="replace").stdout


def main(args):
    if len(args) < 3:
        print(__doc__.strip().splitlines()[-3], file=sys.stderr)
        return 2
    objdump, nm, rest = args[0], args[1], args[2:]
    if rest[0] == "--folder":
        programs = programs_in(rest[1])
    else:
        programs = rest
    if not programs:
        print("no program to check")
        return 1
    twice = []
    for path in programs:
        shared = bool(SHARED.search(run(objdump, "-p", path)))
        static = bool(STATIC.search(run(nm, "-C", path)))
        held = "shared and static" if shared and static else "shared" if shared else \
               "static" if static else "none"
        print(f"{os.path.basename(path):<40} {held}")
        if shared and static:
            twice.append(os.path.basename(path))
    if twice:
        print(f"two copies of the engine in: {', '.join(twice)}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
