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

MACHINES = {"i686": (0x014C, 0x10B), "x86_64": (0x8664, 0x20B)}  # machine, optional-header magic
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


class Image:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        if self.data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = self.u32(0x3C)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, self.characteristics = \
            struct.unpack_from("<HHIIIHH", self.data, pe + 4)
        optional = pe + 24
        self.magic = self.u16(optional)
        self.subsystem = self.u16(optional + 68)
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.export_dir = struct.unpack_from("<II", self.data, directories)
        self.import_dir = struct.unpack_from("<II", self.data, directories + 8)
        self.wide = self.magic == 0x20B
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", self.data, table + 40 * i + 8)
                         for i in range(sections)]  # virtual size, address, raw size, raw offset

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def exports(self):
        rva, size = self.export_dir
        if rva == 0:
            return [], 0
        d = self.offset(rva)
        functions, names, name_table = self.u32(d + 20), self.u32(d + 24), self.u32(d + 32)
        return [self.text(self.u32(self.offset(name_table) + 4 * i)) for i in range(names)], functions

    def imports(self):
        """{dll name: [imported names]}; an import by ordinal shows as '#n'."""
        result = {}
        rva, _ = self.import_dir
        if rva == 0:
            return result
        d = self.offset(rva)
        entry, flag = (8, 1 << 63) if self.wide else (4, 1 << 31)
        while self.u32(d + 12) != 0:
            thunks = self.u32(d) or self.u32(d + 16)
            names = []
            t = self.offset(thunks)
            while True:
                value = struct.unpack_from("<Q" if self.wide else "<I", self.data, t)[0]
                if value == 0:
                    break
                names.append(f"#{value & 0xFFFF}" if value & flag else self.text(value + 2))
                t += entry
            result[self.text(self.u32(d + 12))] = names
            d += 20
        return result


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
