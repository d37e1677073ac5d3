#!/usr/bin/env python3
"""The AVX2 build of the search shares no code with the rest of the engine. Every function its
objects define for the linker (global or weak) must be in namespace ostrakon::avx2. An inline
function of the engine's namespace, emitted out of line by both builds, would be linked once for
both, and the portable build could then run the copy compiled with AVX2 instructions on a
processor without them.

Reads the objects with the toolchain's nm (-C). Data that the linker merges is not code and may
be shared (the personality routine's reference, for one); so may clang's __clang_call_terminate,
two calls into the C++ runtime that no target option changes.

Usage: search_builds_apart.py NM OBJECT... (a single argument may list objects split by ';')
Prints every symbol out of place; exit 0, or 1 when there is one."""
import re
import subprocess
import sys

# nm's types for code: T global, W/w weak, i indirect (ifunc). Lower-case t is local.
CODE = re.compile(r"^\S*\s+([TWwi])\s+(.*)$")
SHARED_HELPERS = {"__clang_call_terminate"}


def main(args):
    if len(args) < 2:
        print(__doc__.strip().splitlines()[-3], file=sys.stderr)
        return 2
    nm = args[0]
    objects = [o for arg in args[1:] for o in arg.split(";") if o]
    out_of_place = []
    for path in objects:
        listing = subprocess.run([nm, "-C", "--defined-only", path], capture_output=True,
                                 text=True, errors="replace", check=True).stdout
        for line in listing.splitlines():
            match = CODE.match(line)
            if match and "ostrakon::avx2::" not in match.group(2) and \
                    match.group(2) not in SHARED_HELPERS:
                out_of_place.append(f"{path}: {match.group(1)} {match.group(2)}")
    if not objects:
        print("no object to check")
        return 1
    for line in out_of_place:
        print(line)
    print(f"{len(objects)} objects, {len(out_of_place)} functions outside ostrakon::avx2")
    return 1 if out_of_place else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
