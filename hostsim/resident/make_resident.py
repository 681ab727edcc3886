#!/usr/bin/env python3
"""Writes the stand-in target-resident flash programs of the simulated chip.

Each is a small Intel HEX file for SRAM at 0x20000000 holding the header that
SimFlashProgrammer recognises (see SimFlashProgrammer.h), an ARM branch to
itself (the word real programs stop on) and the program's name. The outputs
are checked in; run this again only after changing it.
"""
import os
import struct

DRIVER_BASE = 0x20000000
ENTRY_WORD, MAGIC = 0xE7FEE7FE, 0x44525654
ON_CHIP, CFI = 1, 2
STOP_WORD = 0xEAFFFFFE

# file, kind, parameter block, result block size, data area, flash bank base
PROGRAMS = [
    ("ARM_RD_STM32F10X.hex", ON_CHIP, 0x20000400, 20, 0x20000434, 0x08000000),
    ("ARM_RD_STM32F2XX.hex", ON_CHIP, 0x20000400, 20, 0x20000434, 0x08000000),
    ("ARM_RD_STM32L15X.hex", ON_CHIP, 0x20000400, 20, 0x20000434, 0x08000000),
    ("ARM_RD_STM32L15X_DATA.hex", ON_CHIP, 0x20000400, 20, 0x20000434, 0x08080000),
    ("ARM_RD_STM32W108.hex", ON_CHIP, 0x20000500, 20, 0x20000534, 0x08000000),
    ("ARM_RD_STM32_CFI.hex", CFI, 0x20000900, 32, 0x20000940, 0x10000000),
]


def record(kind, offset, data):
    body = bytes([len(data), offset >> 8, offset & 0xFF, kind]) + data
    return ":" + (body + bytes([-sum(body) & 0xFF])).hex().upper() + "\n"


def image(name, kind, param, result, data, bank):
    words = struct.pack("<8I", ENTRY_WORD, MAGIC, kind, param, result, data, bank, STOP_WORD)
    text = ("stand-in " + name[:-4] + "\0").encode()
    text += b"\0" * (-len(text) % 4)
    return words + text


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, *layout in PROGRAMS:
        body = image(name, *layout)
        lines = [record(4, 0, struct.pack(">H", DRIVER_BASE >> 16))]
        lines += [record(0, k, body[k:k + 16]) for k in range(0, len(body), 16)]
        lines.append(":00000001FF\n")
        with open(os.path.join(here, name), "w", newline="\r\n") as f:
            f.writelines(lines)


if __name__ == "__main__":
    main()
