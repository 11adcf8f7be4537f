#!/usr/bin/env python3
"""Compares two PNG pictures of the game (8-bit RGB or RGBA, not interlaced):
`compare_png.py A.png B.png [MAX_MEAN] [MAX_OFF_PERCENT]`. Prints the mean
difference per channel and the share of pixels off by more than 24 in a
channel; exits 1 when the sizes differ or either figure is over its bound."""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    at, idat, width = 8, b"", 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunk = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError(f"{path}: only 8-bit RGB or RGBA, not interlaced")
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += chunk
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b, c = prev[i], prev[i - channels] if i >= channels else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line[k] for k in range(stride) if k % channels < 3))
        prev = line
    return width, height, rows


def main():
    a, b = read_png(sys.argv[1]), read_png(sys.argv[2])
    max_mean = float(sys.argv[3]) if len(sys.argv) > 3 else 3.0
    max_off = float(sys.argv[4]) if len(sys.argv) > 4 else 2.0
    if a[:2] != b[:2]:
        print(f"sizes differ: {a[0]}x{a[1]} and {b[0]}x{b[1]}")
        return 1
    total, off, pixels = 0, 0, a[0] * a[1]
    for ra, rb in zip(a[2], b[2]):
        for p in range(0, len(ra), 3):
            d = [abs(ra[p + k] - rb[p + k]) for k in range(3)]
            total += sum(d)
            off += max(d) > 24
    mean, off_percent = total / (3 * pixels), 100.0 * off / pixels
    print(f"mean difference {mean:.2f} per channel, {off_percent:.2f}% of pixels off by more than 24")
    return 0 if mean <= max_mean and off_percent <= max_off else 1


if __name__ == "__main__":
    sys.exit(main())
