#!/usr/bin/env python3
"""Writes a small 25 fps EBU STL file with a few subtitles, for the screenshots."""
import sys

LINES = [
    "Good evening, and welcome.",
    "Tonight: the river in winter.",
    "The first frost came early.",
    "By December the ferries stopped.",
    "Only the post boat crossed.",
    "Its captain has made the trip",
]


def field(gsi, offset, length, text):
    data = text.encode("latin-1").ljust(length, b" ")[:length]
    gsi[offset:offset + length] = data


def main(path):
    gsi = bytearray(b" " * 1024)
    for offset, length, text in [
        (0, 3, "850"), (3, 8, "STL25.01"), (11, 1, "1"), (12, 2, "00"), (14, 2, "09"),
        (16, 32, "River Stories"), (48, 32, "Winter"), (224, 6, "261209"), (230, 6, "261209"),
        (236, 2, "01"), (238, 5, "%05d" % len(LINES)), (243, 5, "%05d" % len(LINES)),
        (248, 3, "001"), (251, 2, "40"), (253, 2, "23"), (255, 1, "1"),
        (256, 8, "10000000"), (264, 8, "10000000"), (272, 1, "1"), (273, 1, "1"),
        (274, 3, "GBR"),
    ]:
        field(gsi, offset, length, text)
    blocks = bytearray()
    for number, line in enumerate(LINES, start=1):
        start = 36000 * 25 + 50 + (number - 1) * 100
        end = start + 75
        tc = lambda f: bytes([f // 90000, f // 1500 % 60, f // 25 % 60, f % 25])
        block = bytearray(b"\x8f" * 128)
        block[0:5] = bytes([0, number & 0xFF, number >> 8, 0xFF, 0])
        block[5:9] = tc(start)
        block[9:13] = tc(end)
        block[13:16] = bytes([20, 2, 0])
        # Double height, boxed, the odd ones in yellow: what a teletext subtitle usually is.
        colour = b"\x03" if number % 2 else b""
        text = b"\x0d" + colour + b"\x0b\x0b" + line.encode("latin-1") + b"\x0a\x0a"
        block[16:16 + len(text)] = text
        blocks += block
    with open(path, "wb") as out:
        out.write(gsi + blocks)


if __name__ == "__main__":
    main(sys.argv[1])
