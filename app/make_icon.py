#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Makes the Windows icon (.ico) from the packaged PNG icons: each PNG goes in as it is, which every
# Windows since Vista reads, so the icon shows exactly the pictures the Linux desktop shows.
#
#   make_icon.py OUTPUT.ico INPUT.png...
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_size(data: bytes, name: str) -> tuple[int, int]:
    # The IHDR chunk comes first and holds the width and height.
    if not data.startswith(PNG_SIGNATURE) or data[12:16] != b"IHDR":
        sys.exit(f"{name}: not a PNG file")
    width, height = struct.unpack(">II", data[16:24])
    if not 1 <= width <= 256 or not 1 <= height <= 256:
        sys.exit(f"{name}: {width}x{height} does not fit an icon (at most 256x256)")
    return width, height


def main() -> None:
    if len(sys.argv) < 3:
        sys.exit("usage: make_icon.py OUTPUT.ico INPUT.png...")
    images = []
    for name in sys.argv[2:]:
        with open(name, "rb") as file:
            data = file.read()
        images.append((png_size(data, name), data))
    images.sort(key=lambda image: image[0])

    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for (width, height), data in images:
        # 0 stands for 256 in the one-byte sizes.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data),
                               offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as file:
        file.write(header + entries + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()
