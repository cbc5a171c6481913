#!/usr/bin/python3
"""Packs square PNG images into one Windows icon file, each kept as PNG (Windows Vista and
later read PNG entries at every size).  Usage: make_ico.py out.ico in-16.png in-32.png ..."""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG image")
    return struct.unpack(">II", data[16:24])


def main():
    out, inputs = sys.argv[1], sys.argv[2:]
    images = [open(path, "rb").read() for path in inputs]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, payload = b"", b""
    for data in images:
        width, height = png_size(data)
        # A size of 256 is written as 0 in the one-byte fields.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                               len(data), offset + len(payload))
        payload += data
    with open(out, "wb") as f:
        f.write(header + entries + payload)


if __name__ == "__main__":
    main()
