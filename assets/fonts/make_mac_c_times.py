#!/usr/bin/python3
"""Derive the four "MAC C Times" faces from Liberation Serif.

Only the character map and the naming records change: the ASCII letters and
the six MAKSCII punctuation positions show the Macedonian Cyrillic letters,
so that texts stored as plain Latin code points read as Cyrillic on screen and
on paper. Usage: make_mac_c_times.py SOURCE_DIR OUTPUT_DIR
"""
import os
import sys

from fontTools.ttLib import TTFont

FAMILY = "MAC C Times"

# source face, output file, style name
FACES = [
    ("LiberationSerif-Regular.ttf", "MCTIME.TTF", "Regular"),
    ("LiberationSerif-Bold.ttf", "MCTIMEB.TTF", "Bold"),
    ("LiberationSerif-BoldItalic.ttf", "MCTIMEBI.TTF", "Bold Italic"),
    ("LiberationSerif-Italic.ttf", "MCTIMEI.TTF", "Italic"),
]

# Latin capital -> Cyrillic capital; the small letters follow the same table.
UPPER = {
    "A": 0x0410, "B": 0x0411, "C": 0x0426, "D": 0x0414, "E": 0x0415,
    "F": 0x0424, "G": 0x0413, "H": 0x0425, "I": 0x0418, "J": 0x0408,
    "K": 0x041A, "L": 0x041B, "M": 0x041C, "N": 0x041D, "O": 0x041E,
    "P": 0x041F, "Q": 0x0409, "R": 0x0420, "S": 0x0421, "T": 0x0422,
    "U": 0x0423, "V": 0x0412, "W": 0x040A, "X": 0x040F, "Y": 0x0405,
    "Z": 0x0417,
}
PUNCT = {
    "@": 0x0416, "[": 0x0428, "\\": 0x0403, "]": 0x040C, "^": 0x0427,
    "`": 0x0436, "{": 0x0448, "|": 0x0453, "}": 0x045C, "~": 0x0447,
}


def lower_of(cp):
    """Small Cyrillic letter of a capital: Ѐ..Џ -> ѐ..џ, А..Я -> а..я."""
    if 0x0400 <= cp <= 0x040F:
        return cp + 0x50
    return cp + 0x20


def mapping():
    table = {}
    for latin, cyr in UPPER.items():
        table[ord(latin)] = cyr
        table[ord(latin.lower())] = lower_of(cyr)
    for latin, cyr in PUNCT.items():
        table[ord(latin)] = cyr
    return table


def remap(font):
    table = mapping()
    best = font["cmap"].getBestCmap()
    for sub in font["cmap"].tables:
        if not sub.isUnicode():
            continue
        for latin, cyr in table.items():
            glyph = best.get(cyr)
            if glyph is None:
                raise SystemExit(f"source font has no glyph for U+{cyr:04X}")
            sub.cmap[latin] = glyph


def rename(font, style):
    full = FAMILY if style == "Regular" else f"{FAMILY} {style}"
    postscript = "MACCTimes-" + style.replace(" ", "")
    values = {
        1: FAMILY if style in ("Regular", "Bold", "Italic", "Bold Italic") else full,
        2: style,
        3: f"{postscript};derived",
        4: full,
        6: postscript,
        16: FAMILY,
        17: style,
    }
    name = font["name"]
    # The trademark and the description name the reserved fonts: drop them.
    name.names = [r for r in name.names if r.nameID not in (7, 10, 16, 17, 21, 22)]
    for record in list(name.names):
        if record.nameID in values:
            record.string = values[record.nameID]
    for record in name.names:
        text = str(record)
        if "Liberation" in text or "Tinos" in text:
            if record.nameID == 0:
                continue  # the copyright statement stays as it is
            raise SystemExit(f"reserved name left in name record {record.nameID}")
    if "CFF " in font:
        raise SystemExit("unexpected CFF outlines")


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    src, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    for source, target, style in FACES:
        # The source's own time stamp is kept: every build of the same source
        # gives the same bytes (a build for Windows and one for Debian alike).
        font = TTFont(os.path.join(src, source), recalcTimestamp=False)
        remap(font)
        rename(font, style)
        font.save(os.path.join(out, target))


if __name__ == "__main__":
    main()
