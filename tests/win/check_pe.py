#!/usr/bin/env python3
"""The shipped Windows programs read as files, without running them: what the loader will
see on a user's machine. For every program and DLL of a dist folder: the machine type of the
build, executable or DLL, the subsystem (window or console), imports only from Windows's own
DLLs and ours, the exact undecorated export tables of Ostrakon.dll and Fenlow.dll in the
sorted order the loader's binary search needs, and every name Tavik.exe imports from them
present in their tables (so the game loads and finds Fenlow's CheckMenuItem).
Usage: check_pe.py DIST_DIR i686|x86_64   (exit 0, or 1 with each problem on a line)"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake"))
from pe_image import MACHINES, Image  # noqa: E402
GUI, CONSOLE = 2, 3
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "comctl32.dll",
               "comdlg32.dll", "shell32.dll", "ole32.dll", "winmm.dll", "msvcrt.dll"}
EXPORTS = {
    "Ostrakon.dll": ["CanDrop", "CancelThink", "EvalSituation", "GetOpenness", "GetVersionInfo",
                     "ReverseStones", "Think", "ThinkBook"],
    "Fenlow.dll": ["CheckMenuItem", "DllMain", "GetFileDlg", "GetFolderDlg", "MoveWindowToCenter"],
}
PROGRAMS = {"Tavik.exe": GUI, "TavikClean.exe": CONSOLE}
OURS = {"Tavik.exe": {"Ostrakon.dll", "Fenlow.dll"}}  # our DLLs a program may import


def check(dist, arch):
    problems = []
    machine, magic = MACHINES[arch]
    images = {}
    for name in sorted(set(EXPORTS) | set(PROGRAMS)):
        try:
            images[name] = Image(os.path.join(dist, name))
        except (OSError, ValueError, struct.error) as e:
            problems.append(f"{name}: {e}")
    for name, image in images.items():
        if (image.machine, image.magic) != (machine, magic):
            problems.append(f"{name}: machine {image.machine:#06x} (magic {image.magic:#x}), "
                            f"not the {arch} build's {machine:#06x}")
        is_dll = bool(image.characteristics & 0x2000)
        if is_dll != name.endswith(".dll"):
            problems.append(f"{name}: the DLL flag is {'set' if is_dll else 'missing'}")
        if name in PROGRAMS and image.subsystem != PROGRAMS[name]:
            problems.append(f"{name}: subsystem {image.subsystem}, expected {PROGRAMS[name]}")
        for dll, names in image.imports().items():
            if dll.lower() in SYSTEM_DLLS or dll.lower().startswith("api-ms-win-"):
                continue
            if dll not in OURS.get(name, set()):
                problems.append(f"{name}: imports from {dll}, which is not a system DLL")
            elif dll in images:
                exported = set(images[dll].exports()[0])
                for missing in sorted(set(names) - exported):
                    problems.append(f"{name}: imports {missing} from {dll}, which does not export it")
    for dll, expected in EXPORTS.items():
        if dll in images:
            names, functions = images[dll].exports()
            # The loader finds a name by binary search: a table out of order loses names.
            if names != expected:
                problems.append(f"{dll}: exports {names} in this order, expected exactly {expected}")
            if functions != len(names):
                problems.append(f"{dll}: {functions - len(names)} exports by ordinal only")
    if "Tavik.exe" in images:
        from_fenlow = images["Tavik.exe"].imports().get("Fenlow.dll", [])
        if "CheckMenuItem" not in from_fenlow:
            problems.append(f"Tavik.exe: imports {from_fenlow} from Fenlow.dll, not CheckMenuItem")
    return problems


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in MACHINES:
        sys.exit(__doc__.splitlines()[-1])
    problems = check(sys.argv[1], sys.argv[2])
    for p in problems:
        print(p)
    if problems:
        sys.exit(1)
    print(f"{sys.argv[2]}: machine, subsystems, imports and export tables as expected")


main()
