#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Writes a copy of a TrueType font under another family name (fontTools), so that a test can
# register a face of that name for its own process where the system has none.
#   renamed_face.py SOURCE.ttf FAMILY OUTPUT.ttf
import sys

from fontTools.ttLib import TTFont


def main():
    source, family, output = sys.argv[1:]
    font = TTFont(source)
    names = font["name"]
    style = names.getDebugName(2) or "Regular"
    renamed = {
        1: family,  # the family GDI matches a face name against
        4: family if style == "Regular" else f"{family} {style}",  # the full name
        6: (family + "-" + style).replace(" ", ""),  # the PostScript name
    }
    for record in names.names:
        if record.nameID in renamed:
            record.string = renamed[record.nameID]
    # A typographic family of the source's would be matched before the renamed one.
    names.names = [record for record in names.names if record.nameID not in (16, 17, 21, 22)]
    font.save(output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
