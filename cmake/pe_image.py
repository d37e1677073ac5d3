#!/usr/bin/env python3
"""A Windows program or DLL read as a file: its PE headers, machine type, exports and imports.
The one reader of these headers for the project's scripts: the Wine scripts ask it which half
of Wine a program needs, and the dist check reads whole images with it.
Usage: pe_image.py wine-arch PROGRAM   (prints win32 or win64; exit 1 for anything else)"""
import struct
import sys

MACHINES = {"i686": (0x014C, 0x10B), "x86_64": (0x8664, 0x20B)}  # machine, optional-header magic
WINE_ARCH = {0x014C: "win32", 0x8664: "win64"}


def pe_header(data):
    """The offset of the PE signature, after checking the MZ stub that points at it."""
    if data[:2] != b"MZ":
        raise ValueError("no MZ header")
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    return pe


def machine(data):
    return struct.unpack_from("<H", data, pe_header(data) + 4)[0]


class Image:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = pe_header(self.data)
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


def main():
    if len(sys.argv) != 3 or sys.argv[1] != "wine-arch":
        sys.exit(__doc__.splitlines()[-1])
    try:
        with open(sys.argv[2], "rb") as f:
            found = machine(f.read())
    except (OSError, ValueError, struct.error) as e:
        sys.exit(f"{sys.argv[2]}: not a Windows program ({e})")
    if found not in WINE_ARCH:
        sys.exit(f"{sys.argv[2]}: not a Windows program for x86 (machine {found:#06x})")
    print(WINE_ARCH[found])


if __name__ == "__main__":
    main()
