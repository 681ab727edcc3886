#!/usr/bin/env python3
"""Checks the shipped module file without running it: a 32-bit Windows DLL
(PE32, machine i386) that exports exactly the two driver entry points,
undecorated, and imports nothing but Windows' own system DLLs.

usage: check_product.py MODULE.TVK
"""
import struct
import sys

EXPORTS = {"GetTovikDriverCount", "GetTovikDriver_Plugin"}
# Windows' own DLLs the module may import (names compared case-insensitively).
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll",
    "msimg32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "uxtheme.dll", "version.dll", "winmm.dll",
}
MACHINE_I386 = 0x014C
PE32_MAGIC = 0x10B
FILE_DLL = 0x2000


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        # Data directories follow the PE32 optional header's 96 bytes.
        dirs = opt + 96
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        table = opt + opt_size
        self.sections = []
        for i in range(sections):
            _, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError(f"address 0x{rva:x} lies in no section")

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def exports(self):
        rva, size = self.directories[0]
        if not size:
            return [], 0
        off = self.offset(rva)
        # NumberOfFunctions, NumberOfNames, AddressOfFunctions, AddressOfNames
        functions, names, _, name_table = struct.unpack_from("<IIII", self.data, off + 20)
        name_list = [self.cstring(struct.unpack_from("<I", self.data, self.offset(name_table) + 4 * i)[0])
                     for i in range(names)]
        return name_list, functions

    def imports(self):
        rva, size = self.directories[1]
        dlls = []
        off = self.offset(rva) if size else None
        while off is not None:
            entry = struct.unpack_from("<IIIII", self.data, off)
            if not any(entry):
                break
            dlls.append(self.cstring(entry[3]))
            off += 20
        return dlls


def check(path):
    with open(path, "rb") as f:
        pe = PeFile(f.read())
    faults = []
    if pe.machine != MACHINE_I386:
        faults.append(f"machine 0x{pe.machine:04x}, not i386")
    if pe.magic != PE32_MAGIC:
        faults.append(f"optional header 0x{pe.magic:x}, not PE32")
    if not pe.characteristics & FILE_DLL:
        faults.append("not a DLL")
    if pe.magic == PE32_MAGIC:
        names, functions = pe.exports()
        if set(names) != EXPORTS or len(names) != 2 or functions != 2:
            faults.append(f"exports {sorted(names)} ({functions} functions), "
                          f"expected exactly {sorted(EXPORTS)}")
        foreign = [d for d in pe.imports() if d.lower() not in SYSTEM_DLLS]
        if foreign:
            faults.append(f"imports from outside Windows: {foreign}")
    return faults


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    faults = check(sys.argv[1])
    for fault in faults:
        print(f"{sys.argv[1]}: {fault}")
    if not faults:
        print(f"{sys.argv[1]}: PE32 i386 DLL, exports exactly {sorted(EXPORTS)}, system imports only")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
