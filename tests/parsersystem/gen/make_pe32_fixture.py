#!/usr/bin/env python3
"""Makes the small 32-bit module files that the resource tests edit, as C++
byte arrays (../Pe32Fixture.inc). Run it after a change and commit both.

Both files hold a code section and a resource section with the resources
RCDATA\\OTHER, RCDATA\\SETTINGS and TEXTS\\NOTE (language 1033). In
`kResourceLastModule` the resource section is the file's last section; in
`kResourceNotLastModule` a data section follows it.
"""
import os
import struct

FILE_ALIGN = 0x200
SECTION_ALIGN = 0x1000
IMAGE_BASE = 0x10000000
RSRC_RVA = 0x2000
RSRC_RAW = 0x400
LANGUAGE = 1033

RESOURCES = [  # (type, name, data); named types sort before numbered ones
    ("TEXTS", "NOTE", b"a note"),
    (10, "OTHER", b"other data"),
    (10, "SETTINGS", b"key=value\r\n"),
]


def align(n, a):
    return (n + a - 1) // a * a


def resource_section():
    """The resource tree, its data entries, names and data, laid out in that order."""
    types = []
    for t, name, data in RESOURCES:
        if not types or types[-1][0] != t:
            types.append((t, []))
        types[-1][1].append((name, data))
    named_types = [t for t in types if isinstance(t[0], str)]
    id_types = [t for t in types if not isinstance(t[0], str)]
    ordered = named_types + id_types

    # Offsets of every piece, measured first.
    def directory_size(n):
        return 16 + 8 * n
    off = directory_size(len(ordered))
    type_dirs = []
    for t, names in ordered:
        type_dirs.append(off)
        off += directory_size(len(names))
    name_dirs = []
    for t, names in ordered:
        for _ in names:
            name_dirs.append(off)
            off += directory_size(1)
    data_entries = []
    for t, names in ordered:
        for _ in names:
            data_entries.append(off)
            off += 16
    strings = {}
    for text in [t for t, _ in named_types] + [n for _, names in ordered for n, _ in names]:
        if text not in strings:
            strings[text] = off
            off += 2 + 2 * len(text)
    off = align(off, 8)
    blobs = []
    for t, names in ordered:
        for _, data in names:
            blobs.append(off)
            off = align(off + len(data), 8)
    size = align(off, FILE_ALIGN)

    sec = bytearray(size)

    def directory(at, entries):
        named = sum(1 for name_field, _ in entries if name_field & 0x80000000)
        struct.pack_into("<IIHHHH", sec, at, 0, 0, 0, 0, named, len(entries) - named)
        for i, (name_field, target) in enumerate(entries):
            struct.pack_into("<II", sec, at + 16 + 8 * i, name_field, target)

    def name_field(key):
        return (0x80000000 | strings[key]) if isinstance(key, str) else key

    directory(0, [(name_field(t), 0x80000000 | type_dirs[i]) for i, (t, _) in enumerate(ordered)])
    k = 0
    for i, (t, names) in enumerate(ordered):
        directory(type_dirs[i], [(name_field(n), 0x80000000 | name_dirs[k + j]) for j, (n, _) in enumerate(names)])
        for j, (n, data) in enumerate(names):
            directory(name_dirs[k + j], [(LANGUAGE, data_entries[k + j])])
            struct.pack_into("<IIII", sec, data_entries[k + j], RSRC_RVA + blobs[k + j], len(data), 0, 0)
            sec[blobs[k + j]:blobs[k + j] + len(data)] = data
        k += len(names)
    for text, at in strings.items():
        struct.pack_into("<H", sec, at, len(text))
        sec[at + 2:at + 2 + 2 * len(text)] = text.encode("utf-16-le")
    return bytes(sec)


def module(resource_last):
    rsrc = resource_section()
    sections = [  # name, rva, raw offset, contents, characteristics
        (b".text", 0x1000, 0x200, b"\xC3".ljust(FILE_ALIGN, b"\0"), 0x60000020),
        (b".rsrc", RSRC_RVA, RSRC_RAW, rsrc, 0x40000040),
    ]
    if not resource_last:
        rva = RSRC_RVA + align(len(rsrc), SECTION_ALIGN)
        sections.append((b".data", rva, RSRC_RAW + len(rsrc), b"\x5A" * FILE_ALIGN, 0xC0000040))
    last = sections[-1]
    size_of_image = last[1] + align(len(last[3]), SECTION_ALIGN)
    initialized = sum(len(s[3]) for s in sections[1:])

    dos = bytearray(0x40)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 0x40)
    file_header = struct.pack("<HHIIIHH", 0x14C, len(sections), 0, 0, 0, 224, 0x2102)
    directories = [(0, 0)] * 16
    directories[2] = (RSRC_RVA, len(rsrc))
    optional = struct.pack("<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII", 0x10B, 1, 0, 0x200, initialized, 0, 0, 0x1000, RSRC_RVA,
                           IMAGE_BASE, SECTION_ALIGN, FILE_ALIGN, 4, 0, 0, 0, 4, 0, 0, size_of_image, FILE_ALIGN, 0,
                           2, 0, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    optional += b"".join(struct.pack("<II", *d) for d in directories)
    assert len(optional) == 224
    headers = bytes(dos) + b"PE\0\0" + file_header + optional
    for name, rva, raw, contents, characteristics in sections:
        headers += struct.pack("<8sIIIIIIHHI", name, len(contents), rva, len(contents), raw, 0, 0, 0, 0,
                               characteristics)
    image = bytearray(headers.ljust(FILE_ALIGN, b"\0"))
    for _, _, raw, contents, _ in sections:
        assert len(image) == raw
        image += contents
    return bytes(image)


def array(name, data):
    rows = [", ".join("0x%02X" % b for b in data[i:i + 16]) for i in range(0, len(data), 16)]
    return "constexpr unsigned char %s[] = {\n    %s};\n" % (name, ",\n    ".join(rows))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    text = ("// Generated by gen/make_pe32_fixture.py: 32-bit module files whose resources the tests edit.\n"
            "// RCDATA\\OTHER, RCDATA\\SETTINGS and TEXTS\\NOTE; the resource section is last in the first.\n"
            "#pragma once\n\n")
    text += array("kResourceLastModule", module(True)) + "\n" + array("kResourceNotLastModule", module(False))
    with open(os.path.join(here, "..", "Pe32Fixture.inc"), "w", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
