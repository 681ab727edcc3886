#!/usr/bin/env python3
"""Generates the STM32 device catalogue of the Cortex-M3 driver.

Every varying column of the device table follows from the part number; the
few rows whose pin set breaks the rule are listed in PIN_SET_EXCEPTIONS and
kept as they are (they are data). Run from anywhere:

    python3 driver/gen/make_device_tables.py

It rewrites driver/Device_ST_CortexM3_Enums.inc and
driver/Device_ST_CortexM3_Tables.inc; both are checked in. With --check it
only reports whether they are up to date (exit status 1 when not).
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DRIVER = os.path.dirname(HERE)

# ---------------------------------------------------------------------------
# Part numbers, in kind order: "STM32", series (4), pin-count letter,
# flash-size letter, package letter, temperature digit, optional suffix.
PARTS = """
STM32F100C4T6B STM32F100C4T7B STM32F100C6T6B STM32F100C6T6BTR STM32F100C6T7B
STM32F100C8T6B STM32F100C8T6BTR STM32F100CBT6B STM32F100CBT7B STM32F100R4H6B
STM32F100R4T6B STM32F100R4T6BTR STM32F100R6H6B STM32F100R6T6 STM32F100R6T6B
STM32F100R6T6BTR STM32F100R8H6B STM32F100R8T6B STM32F100R8T6BTR STM32F100RBH6B
STM32F100RBH6BTR STM32F100RBT6B STM32F100RBT6BTR STM32F100RCT6B STM32F100RDT6
STM32F100RDT6B STM32F100RET6 STM32F100RET6B STM32F100RET6BTR STM32F100RET7B
STM32F100V8T6B STM32F100V8T7B STM32F100VBT6B STM32F100VBT6BTR STM32F100VCT6
STM32F100VCT6B STM32F100VCT6BTR STM32F100VDT6 STM32F100VDT6B STM32F100VDT6BTR
STM32F100VDT7B STM32F100VET6 STM32F100VET6B STM32F100VET7B STM32F100ZCT6B
STM32F100ZDT6B STM32F100ZET6B STM32F100ZET7B STM32F101C4T6A STM32F101C6T6A
STM32F101C6T6ATR STM32F101C8T6 STM32F101C8T6TR STM32F101C8U6 STM32F101C8U6TR
STM32F101CBT6 STM32F101CBT6TR STM32F101R4T6A STM32F101R6T6A STM32F101R6T6ATR
STM32F101R8T6 STM32F101R8T6TR STM32F101RBT6 STM32F101RBT6TR STM32F101RCT6
STM32F101RCT6TR STM32F101RDT6 STM32F101RDT6TR STM32F101RET6 STM32F101RFT6
STM32F101T4U6A STM32F101T6U6A STM32F101T6U6ATR STM32F101T8U6 STM32F101T8U6TR
STM32F101TBU6 STM32F101V8T6 STM32F101V8T6TR STM32F101VBT6 STM32F101VBT6TR
STM32F101VCT6 STM32F101VCT6TR STM32F101VDT6 STM32F101VDT6TR STM32F101VET6
STM32F101VFT6 STM32F101VFT6TR STM32F101VGT6 STM32F101ZCT6 STM32F101ZDT6
STM32F101ZET6 STM32F102C4T6A STM32F102C4T6ATR STM32F102C6T6A STM32F102C6T6ATR
STM32F102C8T6 STM32F102C8T6TR STM32F102CBT6 STM32F102CBT6TR STM32F102R4T6A
STM32F102R6T6A STM32F102R8T6 STM32F102RBT6 STM32F103C4T6A STM32F103C6T6A
STM32F103C6T6ATR STM32F103C6T7A STM32F103C6T7ATR STM32F103C6U6A STM32F103C8T6
STM32F103C8T6TR STM32F103C8T7 STM32F103CBT6 STM32F103CBT6TR STM32F103CBT7
STM32F103CBT7TR STM32F103CBU6 STM32F103R4H6A STM32F103R4T6A STM32F103R6H6A
STM32F103R6T6A STM32F103R6T7A STM32F103R8H6 STM32F103R8H7 STM32F103R8T6
STM32F103R8T6TR STM32F103R8T7 STM32F103RBH6 STM32F103RBT6 STM32F103RBT6TR
STM32F103RBT7 STM32F103RBT7TR STM32F103RCT6 STM32F103RCT6TR STM32F103RCT7
STM32F103RCY6TR STM32F103RDT6 STM32F103RDT6TR STM32F103RDY6TR STM32F103RET6
STM32F103RET6TR STM32F103RET7 STM32F103REY6TR STM32F103RFT6 STM32F103RGT6
STM32F103T4U6A STM32F103T6U6 STM32F103T6U6A STM32F103T6U7A STM32F103T8U6
STM32F103T8U6TR STM32F103T8U7 STM32F103TBU6 STM32F103TBU7 STM32F103V8H6
STM32F103V8T6 STM32F103V8T6TR STM32F103VBH6 STM32F103VBH7 STM32F103VBT6
STM32F103VBT6TR STM32F103VBT7 STM32F103VBT7TR STM32F103VCH6 STM32F103VCT6
STM32F103VCT6TR STM32F103VDH6 STM32F103VDH6TR STM32F103VDT6 STM32F103VEH6
STM32F103VEH7 STM32F103VET6 STM32F103VET6TR STM32F103VET7 STM32F103VET7TR
STM32F103VFT6 STM32F103VGT6 STM32F103VGT7 STM32F103ZCH6 STM32F103ZCT6
STM32F103ZCT7 STM32F103ZDH6 STM32F103ZDT6 STM32F103ZEH6 STM32F103ZEH6TR
STM32F103ZEH7 STM32F103ZET6 STM32F103ZET6TR STM32F103ZET7 STM32F103ZFH6
STM32F103ZFT6 STM32F103ZGH6 STM32F103ZGT6 STM32F105R8T6 STM32F105RBT6
STM32F105RBT6TR STM32F105RCT6 STM32F105RCT7 STM32F105V8T6 STM32F105VBH6
STM32F105VBT6 STM32F105VCT6 STM32F105VCT7 STM32F107RBT6 STM32F107RCT6
STM32F107RCT6TR STM32F107VBT6 STM32F107VCH6 STM32F107VCT6 STM32F205RBT6
STM32F205RBT7 STM32F205RCT6 STM32F205RET6 STM32F205RFT6 STM32F205RGT6
STM32F205RGT7 STM32F205RGY6 STM32F205RGY6TR STM32F205VBT6 STM32F205VCT6
STM32F205VET6 STM32F205VFT6 STM32F205VGT6 STM32F205ZCT6 STM32F205ZET6
STM32F205ZFT6 STM32F205ZGT6 STM32F207ICH6 STM32F207ICT6 STM32F207IFH6
STM32F207IFT6 STM32F207IGH6 STM32F207IGH7 STM32F207IGT6 STM32F207VCT6
STM32F207VET6 STM32F207VFT6 STM32F207VGT6 STM32F207VGT7 STM32F207ZCT6
STM32F207ZET6 STM32F207ZFT6 STM32F207ZGT6 STM32F207ZGT7 STM32F215RET6
STM32F215RGT6 STM32F215VET6 STM32F215VGT6 STM32F215ZET6 STM32F215ZGT6
STM32F217IEH6 STM32F217IET6 STM32F217IGT6 STM32F217VET6 STM32F217VGT6
STM32F217VGT6TR STM32F217ZET6 STM32F217ZGT6 STM32L151C8T6 STM32L151C8U6
STM32L151CBT6 STM32L151CBU6 STM32L151R8H6 STM32L151R8T6 STM32L151RBH6
STM32L151RBT6 STM32L151V8H6 STM32L151V8T6 STM32L151VBH6 STM32L151VBT6
STM32L152C8T6 STM32L152C8U6 STM32L152CBT6 STM32L152CBU6 STM32L152R8H6
STM32L152R8T6 STM32L152RBH6 STM32L152RBT6 STM32L152V8H6 STM32L152V8T6
STM32L152VBH6 STM32L152VBH6D STM32L152VBT6 STM32L152VBT6TR STM32W108C8U63TR
STM32W108C8U64TR STM32W108CBU6 STM32W108CBU61TR STM32W108CBU63TR STM32W108CBU64TR
""".split()

# ---------------------------------------------------------------------------
# Enumerations, in their fixed order (several are not alphabetical).
FAMILIES = ["STM32F100", "STM32F101", "STM32F102", "STM32F103", "STM32F105", "STM32F107",
            "STM32F205", "STM32F207", "STM32F215", "STM32F217", "STM32L151", "STM32L152",
            "STM32W108"]

# Package: identifier, name, description, dimensions.
PACKAGES = [
    ("H100", "LFBGA100", "100-Pin Ball Grid Array", "10 x 10 mm"),
    ("H144", "LFBGA144", "144-Pin Ball Grid Array", "10 x 10 mm"),
    ("H176", "UFBGA176", "176-Pin Ball Grid Array", "10 x 10 mm"),
    ("H201", "UFBGA201", "201-Pin Ball Grid Array", "10 x 10 mm"),
    ("H64", "TFBGA64", "64-Pin Ball Grid Array", "5 x 5 mm"),
    ("T100", "LQFP100", "100-Pin Low-Profile Quad Flat Pack", "14 x 14 mm"),
    ("T144", "LQFP144", "144-Pin Low-Profile Quad Flat Pack", "20 x 20 mm"),
    ("T176", "LQFP176", "176-Pin Low-Profile Quad Flat Pack", "24 x 24 mm"),
    ("T48", "LQFP48", "48-Pin Low-Profile Quad Flat Pack", "7 x 7 mm"),
    ("T64", "LQFP64", "64-Pin Low-Profile Quad Flat Pack", "10 x 10 mm"),
    ("U37", "VFQFPN36", "36-Pin Quad Flat Pack No-Lead", "6 x 6 mm"),
    ("U49", "VFQFPN48", "48-Pin Quad Flat Pack No-Lead", "7 x 7 mm"),
    ("Y64", "WLCSP64", "Waver-Level Chip-Scale Package", "0.500 mm pitch"),
    ("Y66", "WLCSP64+2", "Waver-Level Chip-Scale Package", "0.400 mm pitch"),
]

PACKAGE_TYPES = [
    ("H", "BGA", "Ball Grid Array"),
    ("T", "LQFP", "Low-Profile Quad Flat Pack"),
    ("U", "VFQFPN", "Quad Flat Pack No-Lead"),
    ("Y", "WLCSP", "Waver-Level Chip-Scale Package"),
]

# Speed grade: the flash-size letter, its description and the size in Kbytes.
SPEED_GRADES = [("4", "16Kb", 16), ("6", "32Kb", 32), ("8", "64Kb", 64), ("B", "128Kb", 128),
                ("C", "256Kb", 256), ("D", "384Kb", 384), ("E", "512Kb", 512),
                ("F", "768Kb", 768), ("G", "1Mb", 1024)]

TEMPERATURE_GRADES = [("6", "Industrial Temperature Range", "-40 to +85"),
                      ("7", "Industrial Temperature Range", "-40 to +105")]

OPTION_DESIGNATORS = [
    ("1", "1", "Ember ZigBee stack"),
    ("1TR", "1TR", "Ember ZigBee stack"),
    ("3", "3", "RF4CE stack"),
    ("3TR", "3TR", "RF4CE stack"),
    ("4", "4", "IEEE 802.15.4 media access control"),
    ("4TR", "4TR", "IEEE 802.15.4 media access control"),
    ("A", "A", "Internal Code A"),
    ("ATR", "ATR", "Internal Code A"),
    ("B", "B", "Internal Code B"),
    ("BTR", "BTR", "Internal Code B"),
    ("D", "D", "VDD range: 1.65 to 3.6V and BOR disabled"),
    ("DTR", "DTR", "VDD range: 1.65 to 3.6V and BOR disabled"),
    ("None", "Standard", "Standard Configuration"),
    ("TR", "TR", "Tape and Reel"),
]

# Pin sets: name, pin count, and how the pin numbers run.
#   ("numbers",)                      "1" .. count
#   ("grid", last row, columns, gaps) ball names row by row, gaps left out
def _balls(row_from, row_to, col_from, col_to):
    rows = BALL_ROWS[BALL_ROWS.index(row_from):BALL_ROWS.index(row_to) + 1]
    return [f"{r}{c}" for r in rows for c in range(col_from, col_to + 1)]

BALL_ROWS = "ABCDEFGHJKLMNPR"  # no I, O or Q

GA100_GAPS = (["C6", "C7"] + _balls("D", "E", 4, 9) + _balls("F", "G", 3, 10)
              + _balls("H", "J", 4, 9) + ["K6", "K7"])
CS66_GAPS = _balls("C", "G", 4, 6)
GA201_GAPS = (_balls("E", "E", 5, 11) + [f"{r}{c}" for r in "FGHJK" for c in (5, 11)]
              + _balls("L", "L", 5, 11))

PIN_SETS = [
    ("STM32F101_SQ100", ("numbers", 100)),
    ("STM32F101_SQ37", ("numbers", 37)),
    ("STM32F101_SQ48", ("numbers", 48)),
    ("STM32F101_SQ49", ("numbers", 49)),
    ("STM32F101_SQ64", ("numbers", 64)),
    ("STM32F103_SQ100", ("grid", "K", 10, [])),
    ("STM32F103_SQ64", ("grid", "H", 8, [])),
    ("STM32F101_GA144", ("grid", "M", 12, [])),
    ("STM32F101_SQ144", ("numbers", 144)),
    ("STM32F103_CSP64", ("grid", "H", 8, [])),
    ("STM32F205_CS66", ("grid", "J", 9, CS66_GAPS)),
    ("STM32F205_SQ100", ("numbers", 100)),
    ("STM32F205_SQ144", ("numbers", 144)),
    ("STM32F205_SQ64", ("numbers", 64)),
    ("STM32F207_GA201", ("grid", "R", 15, GA201_GAPS)),
    ("STM32F207_SQ176", ("numbers", 176)),
    ("STM32L151_GA100", ("grid", "M", 12, GA100_GAPS)),
    ("STM32L151_GA64", ("grid", "H", 8, [])),
    ("STM32L151_SQ100", ("numbers", 100)),
    ("STM32L151_SQ48", ("numbers", 48)),
    ("STM32L151_SQ49", ("numbers", 49)),
    ("STM32L151_SQ64", ("numbers", 64)),
    ("STM32L152_GA100", ("grid", "M", 12, GA100_GAPS)),
    ("STM32L152_GA64", ("grid", "H", 8, [])),
    ("STM32L152_SQ100", ("numbers", 100)),
    ("STM32L152_SQ48", ("numbers", 48)),
    ("STM32L152_SQ49", ("numbers", 49)),
    ("STM32L152_SQ64", ("numbers", 64)),
    ("STM32W108_SQ41", ("numbers", 41)),
    ("STM32W108_SQ49", ("numbers", 49)),
]

# Expected sizes of the ball grids (a check on the gap lists above).
PIN_SET_SIZES = {"STM32F205_CS66": 66, "STM32F207_GA201": 201, "STM32L151_GA100": 100,
                 "STM32L152_GA100": 100, "STM32F101_GA144": 144, "STM32F103_SQ100": 100}

# Package from the pin-count and package letters.
PACKAGE_OF = {("C", "T"): "T48", ("C", "U"): "U49", ("R", "T"): "T64", ("R", "H"): "H64",
              ("R", "Y"): "Y66", ("T", "U"): "U37", ("V", "T"): "T100", ("V", "H"): "H100",
              ("Z", "T"): "T144", ("Z", "H"): "H144", ("I", "T"): "T176", ("I", "H"): "H201"}

# Device packages of each family, in enumeration order.
_HT = ["H64", "H100", "H144", "H201", "T48", "T64", "T100", "T144", "T176"]
_T = ["T48", "T64", "T100", "T144", "T176"]
_L1 = ["T48", "U49", "H64", "T64", "H100", "T100"]
FAMILY_PACKAGES = {
    "STM32F100": _HT,
    "STM32F101": _T + ["U37", "U49"],
    "STM32F102": _T,
    "STM32F103": _HT + ["U37", "U49", "Y66"],
    "STM32F105": _HT,
    "STM32F107": _HT,
    "STM32F205": _T + ["Y66"],
    "STM32F207": _HT,
    "STM32F215": _T,
    "STM32F217": _HT,
    "STM32L151": _L1,
    "STM32L152": _L1,
    "STM32W108": ["U49"],
}

# Memory size of each device package (every other device-package field is 0).
def _fp(family, packages):
    return [family + p for p in packages]

_H = ["H64", "H100", "H144", "H201"]
MEMORY_SIZE = {}
for size, entries in (
    (128, _fp("STM32F100", _H) + _fp("STM32F101", ["U37", "U49"]) + _fp("STM32F102", _T)
     + _fp("STM32F103", ["U37", "U49"]) + _fp("STM32F105", _H)),
    (256, _fp("STM32F105", _T) + _fp("STM32F107", _H) + _fp("STM32F107", _T)),
    (512, _fp("STM32F100", _T) + ["STM32F103Y66"] + _fp("STM32F217", _H)),
    (1024, _fp("STM32F101", _T) + _fp("STM32F103", _H) + _fp("STM32F103", _T)
     + _fp("STM32F205", _T) + ["STM32F205Y66"] + _fp("STM32F207", _H) + _fp("STM32F207", _T)
     + _fp("STM32F215", _T) + _fp("STM32F217", _T) + _fp("STM32L151", _L1)
     + _fp("STM32L152", _L1) + ["STM32W108U49"]),
):
    for e in entries:
        assert e not in MEMORY_SIZE, e
        MEMORY_SIZE[e] = size

# Maximum I/O count of a base name, by series.
MAX_IO = {"F100": 112, "F101": 112, "F103": 112, "F102": 51, "F105": 80, "F107": 80,
          "F205": 140, "F207": 140, "F215": 140, "F217": 140, "L151": 100, "L152": 100,
          "W108": 49}

# The one base name whose entry does not read as the base name itself.
BASE_NAME_TEXT = {"STM32L151VB": "STM32L150VB"}

# On-chip flash writer classes by series group and flash size in Kbytes.
WRITER_GROUPS = {"F10": ("STM32F10X", [16, 32, 64, 128, 256, 384, 512, 768, 1024]),
                 "F2": ("STM32F2XX", [128, 256, 512, 768, 1024]),
                 "L1": ("STM32L1XX", [64, 128]),
                 "W1": ("STM32W10X", [64, 128])}
DATA_WRITER = "TFLASH_STM32L1XX_DATA_4"
DATA_WRITER_F101 = {"STM32F101C8T6", "STM32F101C8T6TR", "STM32F101C8U6", "STM32F101C8U6TR",
                    "STM32F101CBT6", "STM32F101CBT6TR", "STM32F101R8T6", "STM32F101R8T6TR",
                    "STM32F101RBT6", "STM32F101RBT6TR", "STM32F101T8U6"}

# Rows whose pin set differs from the rule below; they are data and stay.
PIN_SET_EXCEPTIONS = {
    "STM32F100R6T6BTR": "STM32F103_SQ64",
    "STM32F102C8T6": "STM32F101_SQ64",
    "STM32F102C8T6TR": "STM32F101_SQ64",
    "STM32F102R4T6A": "STM32F101_SQ48",
    "STM32F102R6T6A": "STM32F101_SQ48",
    "STM32F103RCT6": "STM32F103_CSP64",
    "STM32F207ICH6": "STM32F207_SQ176",
    "STM32F207IFT6": "STM32F207_GA201",
}

ID_CODE = 0x3BA00477
INSTRUCTION_LENGTH = 4
BSDL_NAME = ".bsd"


def pin_set_by_rule(series, pin, pkg):
    if series in ("L151", "L152"):
        suffix = {("C", "T"): "SQ48", ("C", "U"): "SQ49", ("R", "T"): "SQ64", ("R", "H"): "GA64",
                  ("V", "T"): "SQ100", ("V", "H"): "GA100"}[(pin, pkg)]
        return f"STM32{series}_{suffix}"
    if series == "W108":
        return "STM32W108_SQ49"
    if series.startswith("F10"):
        if (pin, pkg) == ("R", "Y") and series == "F103":
            return "STM32F103_CSP64"
        if (pin, pkg) == ("Z", "H") and series == "F103":
            return "STM32F101_GA144"
        return {("C", "T"): "STM32F101_SQ48", ("C", "U"): "STM32F101_SQ49",
                ("T", "U"): "STM32F101_SQ37", ("R", "T"): "STM32F101_SQ64",
                ("R", "H"): "STM32F103_SQ64", ("V", "T"): "STM32F101_SQ100",
                ("V", "H"): "STM32F103_SQ100", ("Z", "T"): "STM32F101_SQ144"}[(pin, pkg)]
    if series.startswith("F2"):
        if (pin, pkg) == ("R", "Y") and series == "F205":
            return "STM32F205_CS66"
        return {("R", "T"): "STM32F205_SQ64", ("V", "T"): "STM32F205_SQ100",
                ("Z", "T"): "STM32F205_SQ144", ("I", "T"): "STM32F207_SQ176",
                ("I", "H"): "STM32F207_GA201"}[(pin, pkg)]
    raise ValueError(series)


def split_part(part):
    assert part.startswith("STM32") and len(part) >= 13, part
    return {"series": part[5:9], "pin": part[9], "size": part[10], "pkg": part[11],
            "temp": part[12], "suffix": part[13:]}


def writer_class(series, size_letter):
    kbytes = {s: k for s, _, k in SPEED_GRADES}[size_letter]
    for prefix, (group, sizes) in WRITER_GROUPS.items():
        if series.startswith(prefix):
            assert kbytes in sizes, (series, size_letter)
            return f"TFLASH_{group}_{kbytes}"
    raise ValueError(series)


def pin_numbers(layout):
    if layout[0] == "numbers":
        return [str(n) for n in range(1, layout[1] + 1)]
    _, last_row, columns, gaps = layout
    balls = _balls("A", last_row, 1, columns)
    for g in gaps:
        assert g in balls, g
    return [b for b in balls if b not in gaps]


def build():
    assert len(PARTS) == 290 and len(set(PARTS)) == 290
    option_ids = [o[0] for o in OPTION_DESIGNATORS]
    package_ids = [p[0] for p in PACKAGES]
    device_packages = [f + p for f in FAMILIES for p in FAMILY_PACKAGES[f]]
    assert len(device_packages) == 93 and set(device_packages) == set(MEMORY_SIZE)

    base_names = []
    rows = []
    for kind, part in enumerate(PARTS):
        p = split_part(part)
        family = "STM32" + p["series"]
        base = part[:11]
        if base not in base_names:
            base_names.append(base)
        package = PACKAGE_OF[(p["pin"], p["pkg"])]
        suffix = p["suffix"] or "None"
        assert suffix in option_ids, part
        pin_set = PIN_SET_EXCEPTIONS.get(part, pin_set_by_rule(p["series"], p["pin"], p["pkg"]))
        data_writer = DATA_WRITER if (family in ("STM32L151", "STM32L152")
                                      or part in DATA_WRITER_F101) else ""
        assert family + package in device_packages, part
        rows.append({
            "kind": kind, "part": part, "family": family, "base": base, "package": package,
            "package_type": p["pkg"], "temp": p["temp"], "speed": p["size"], "option": suffix,
            "pin_set": pin_set, "device_package": family + package,
            "writer": writer_class(p["series"], p["size"]), "writer_data": data_writer,
        })
    assert len(base_names) == 143, len(base_names)
    assert sum(1 for r in rows if r["writer_data"]) == 37
    for part in PIN_SET_EXCEPTIONS:
        assert part in PARTS, part

    pin_sets = []
    for name, layout in PIN_SETS:
        numbers = pin_numbers(layout)
        if name in PIN_SET_SIZES:
            assert len(numbers) == PIN_SET_SIZES[name], (name, len(numbers))
        pin_sets.append((name, numbers))
    return rows, base_names, device_packages, pin_sets


# ---------------------------------------------------------------------------
# C++ output.
HEADER = ("// Generated by driver/gen/make_device_tables.py from the STM32 part numbers;\n"
          "// edit the script, not this file.\n")


def wstr(s):
    return 'L"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def enum(name, base, values, per_line=4):
    out = [f"enum {name} : {base} {{"]
    for i in range(0, len(values), per_line):
        out.append("  " + " ".join(v + "," for v in values[i:i + per_line]))
    out.append("};")
    out.append(f"inline constexpr int k{name[1:]}Count = {len(values)};")
    return "\n".join(out) + "\n\n"


def make_enums(rows, base_names, device_packages, pin_sets):
    s = HEADER + "// Enumerations of the device catalogue (included by Device_ST_CortexM3_Data.h).\n\n"
    s += enum("TDeviceKind", "int32_t", ["e" + r["part"] for r in rows])
    s += enum("TFamilyNameId", "uint8_t", ["eFamilyName_" + f for f in FAMILIES])
    s += enum("TBaseNameId", "uint8_t", ["e" + b for b in base_names], 5)
    s += enum("TPackage", "uint8_t", ["ePackage_" + p[0] for p in PACKAGES])
    s += enum("TPackageType", "uint8_t", ["ePackageType_" + p[0] for p in PACKAGE_TYPES])
    s += enum("TSpeedGrade", "uint8_t", ["eSpeedGrade_" + g[0] for g in SPEED_GRADES])
    s += enum("TTemperatureGrade", "uint8_t", ["eTemperatureGrade_" + g[0] for g in TEMPERATURE_GRADES])
    s += enum("TOptionDesignator", "uint8_t", ["eOptionDesignator_" + o[0] for o in OPTION_DESIGNATORS])
    s += enum("TDevicePinSet", "uint8_t", ["ePinSet_" + n for n, _ in pin_sets], 3)
    s += enum("TDevicePackage", "uint8_t", ["dp" + d for d in device_packages], 5)
    s += enum("TDeviceIOStandardID", "uint8_t", ["eSt_None"])
    return s


def string_table(name, values, per_line=4):
    out = [f"inline constexpr std::wstring_view {name}[] = {{"]
    for i in range(0, len(values), per_line):
        out.append("    " + " ".join(wstr(v) + "," for v in values[i:i + per_line]))
    out.append("};")
    return "\n".join(out) + "\n"


def make_tables(rows, base_names, device_packages, pin_sets):
    s = HEADER + "// Tables of the device catalogue (included by Device_ST_CortexM3_Data.h).\n\n"
    s += "// Side tables, indexed by the row's enumerations.\n"
    s += string_table("kFamilyNames", FAMILIES)
    s += string_table("kPackageIds", [p[0] for p in PACKAGES], 7)
    s += string_table("kPackageNames", [p[1] for p in PACKAGES])
    s += string_table("kPackageDescriptions", [p[2] for p in PACKAGES], 2)
    s += string_table("kPackageDimensions", [p[3] for p in PACKAGES])
    s += string_table("kPackageTypeIds", [t[0] for t in PACKAGE_TYPES])
    s += string_table("kPackageTypeNames", [t[1] for t in PACKAGE_TYPES])
    s += string_table("kPackageTypeDescriptions", [t[2] for t in PACKAGE_TYPES], 2)
    s += string_table("kSpeedGradeIds", [g[0] for g in SPEED_GRADES], 9)
    s += string_table("kSpeedGradeNames", [g[0] for g in SPEED_GRADES], 9)
    s += string_table("kSpeedGradeDescriptions", [g[1] for g in SPEED_GRADES], 9)
    s += string_table("kTemperatureGradeIds", [g[0] for g in TEMPERATURE_GRADES])
    s += string_table("kTemperatureGradeNames", [g[1] for g in TEMPERATURE_GRADES], 2)
    s += string_table("kTemperatureGradeDescriptions", [g[2] for g in TEMPERATURE_GRADES], 2)
    s += string_table("kOptionDesignatorIds", [o[0] for o in OPTION_DESIGNATORS], 7)
    s += string_table("kOptionDesignatorNames", [o[1] for o in OPTION_DESIGNATORS], 7)
    s += string_table("kOptionDesignatorDescriptions", [o[2] for o in OPTION_DESIGNATORS], 2)
    s += "\n"

    s += "// Base names: Name, EquivalentGates, MaxIO.\n"
    s += "inline constexpr TBaseNameIdParameters kBaseNames[] = {\n"
    for b in base_names:
        s += f"    {{{wstr(BASE_NAME_TEXT.get(b, b))}, 0, {MAX_IO[b[5:9]]}}},\n"
    s += "};\n\n"

    s += ("// Device packages: DSPMultiplierCount, ClockManagerCount, MemorySize,\n"
          "// TerminationSupport, GlobalClockCount, ConfigMemorySize.\n")
    s += "inline constexpr TDevicePackageParameters kDevicePackages[] = {\n"
    for d in device_packages:
        s += f"    {{0, 0, {MEMORY_SIZE[d]}, false, 0, 0}},  // {d}\n"
    s += "};\n\n"

    s += "// Pin sets: only the pin numbers are filled.\n"
    for name, numbers in pin_sets:
        s += f"inline constexpr TPinParameters kPins_{name}[] = {{\n"
        for i in range(0, len(numbers), 12):
            s += "    " + " ".join("{" + wstr(n) + "}," for n in numbers[i:i + 12]) + "\n"
        s += "};\n"
    s += "\n// PinCount, IOCount, DiffCount, HSpeedDiffCount, Standards, Pins.\n"
    s += "inline constexpr TPinSetParameters kPinSets[] = {\n"
    for name, numbers in pin_sets:
        s += f"    {{{len(numbers)}, 0, 0, 0, 0, kPins_{name}}},\n"
    s += "};\n\n"

    s += ("// The device table, one row per device kind. Writer classes are named here\n"
          "// and bound to their slots at start-up; an empty name is no class.\n")
    s += "inline constexpr TDeviceParameters kDeviceTable[] = {\n"
    for r in rows:
        s += (f"    {{e{r['part']}, {wstr(r['part'])}, eFamilyName_{r['family']}, 0x{ID_CODE:08X},"
              f" e{r['base']}, ePackage_{r['package']}, ePackageType_{r['package_type']},"
              f" eTemperatureGrade_{r['temp']}, eSpeedGrade_{r['speed']},"
              f" eOptionDesignator_{r['option']}, {wstr(BSDL_NAME)}, ePinSet_{r['pin_set']},"
              f" {INSTRUCTION_LENGTH}, dp{r['device_package']},"
              f" eDeviceProcessor_CORE_ARM_CORTEX_M3, eDeviceProcessor_TYPE_HARD,"
              f" {wstr(r['writer'])}, {wstr(r['writer_data'])}}},\n")
    s += "};\n\n"

    return s


def main():
    rows, base_names, device_packages, pin_sets = build()
    outputs = {
        os.path.join(DRIVER, "Device_ST_CortexM3_Enums.inc"): make_enums(rows, base_names, device_packages, pin_sets),
        os.path.join(DRIVER, "Device_ST_CortexM3_Tables.inc"): make_tables(rows, base_names, device_packages, pin_sets),
    }
    check = "--check" in sys.argv[1:]
    stale = []
    for path, text in outputs.items():
        old = open(path, encoding="utf-8").read() if os.path.exists(path) else None
        if old != text:
            stale.append(path)
            if not check:
                with open(path, "w", encoding="utf-8", newline="\n") as f:
                    f.write(text)
    if check and stale:
        print("out of date: " + ", ".join(os.path.relpath(p) for p in stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
