#!/usr/bin/env python3
"""Writes a corpus of BMP files into OUT_DIR: pictures written by ImageMagick
in its three BMP flavours (V5 header, 40-byte header, 12-byte core header) at
1, 4, 8, 16, 24 and 32 bits and with RLE8, files derived from them with the
52, 56 and 108-byte headers, and hand-made top-down, RLE4 and short-table
files. Each picture comes with a plain 24-bit reference of the same pixels.

OUT_DIR/corpus.txt lists one file a line: NAME REFERENCE TOLERANCE, or NAME -
refused for a file the wallpaper must refuse.

Usage: make_bmp_corpus.py OUT_DIR"""

import os
import random
import struct
import subprocess
import sys

WIDTH, HEIGHT = 13, 7


def ppm(path, colours, index):
    rows = bytearray()
    for y in range(HEIGHT):
        for x in range(WIDTH):
            rows += bytes(colours[index(x, y)])
    with open(path, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (WIDTH, HEIGHT) + rows)


def convert(source, out, *options):
    """`options` end with the output format, such as "BMP3:"."""
    *rest, fmt = options
    subprocess.run(["convert", source, *rest, fmt + out], check=True)


class Bmp:
    """The parts of a BMP file that the derivations below change."""

    def __init__(self, data):
        self.data = bytearray(data)
        self.off_bits = struct.unpack_from("<I", data, 10)[0]
        self.header = struct.unpack_from("<I", data, 14)[0]
        self.width, self.height = struct.unpack_from("<ii", data, 18)
        self.bits = struct.unpack_from("<H", data, 28)[0]

    def with_header(self, size, claimed=None):
        """The same picture with the info header cut to `size` bytes, saying
        `claimed` bytes (52 bytes claimed as 40 leave the masks after it)."""
        cut = self.header - size
        data = self.data[:14 + size] + self.data[14 + self.header:]
        struct.pack_into("<I", data, 2, len(data))
        struct.pack_into("<I", data, 10, self.off_bits - cut)
        struct.pack_into("<I", data, 14, claimed or size)
        return bytes(data)

    def top_down(self):
        stride = (self.width * self.bits + 31) // 32 * 4
        pixels = self.data[self.off_bits:self.off_bits + stride * self.height]
        rows = [pixels[i * stride:(i + 1) * stride] for i in range(self.height)]
        data = self.data[:self.off_bits] + b"".join(reversed(rows))
        struct.pack_into("<i", data, 22, -self.height)
        return bytes(data)


def write_bmp(bits, rows, table, compression=0, codes=None, clr_used=0):
    """A 40-byte-header BMP from top-down rows of indices (or RGB tuples)."""
    stride = (WIDTH * bits + 31) // 32 * 4
    if codes is None:
        pixels = bytearray()
        for row in reversed(rows):
            line = bytearray()
            if bits == 24:
                for r, g, b in row:
                    line += bytes((b, g, r))
            else:
                acc = 0
                for i, v in enumerate(row):
                    acc = acc << bits | v
                    if (i + 1) * bits % 8 == 0:
                        line.append(acc)
                        acc = 0
                if WIDTH * bits % 8:
                    line.append(acc << (8 - WIDTH * bits % 8))
            pixels += line + b"\0" * (stride - len(line))
    else:
        pixels = codes
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in table)
    off = 54 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", off + len(pixels), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, bits, compression, len(pixels),
                       2835, 2835, clr_used, 0)
    return header + info + palette + bytes(pixels)


def rle4(rows):
    """RLE4 codes: even rows as runs of pixel pairs, odd rows as literal runs."""
    out = bytearray()
    for y, row in enumerate(reversed(rows)):
        if y % 2 == 0:
            for i in range(0, len(row), 2):
                pair = row[i:i + 2]
                out += bytes((len(pair), pair[0] << 4 | (pair[1] if len(pair) > 1 else 0)))
        else:
            packed = bytearray((row[i] << 4 | (row[i + 1] if i + 1 < len(row) else 0))
                               for i in range(0, len(row), 2))
            if len(packed) % 2:
                packed.append(0)
            out += bytes((0, len(row))) + packed
        out += b"\0\0"
    return bytes(out[:-2]) + b"\0\1"


def main():
    out = os.path.abspath(sys.argv[1])
    os.makedirs(out, exist_ok=True)
    os.chdir(out)
    rnd = random.Random(10)
    colours16 = [(r, g, b) for r in (0, 255) for g in (0, 128, 255) for b in (0, 255)][:12] + \
        [(64, 32, 200), (200, 100, 0), (10, 250, 90), (255, 255, 255)]
    colours40 = [tuple(rnd.randrange(256) for _ in range(3)) for _ in range(40)]
    ppm("src16.ppm", colours16, lambda x, y: (x * 3 + y * 5) % 16)
    ppm("src2.ppm", [(0, 0, 0), (255, 255, 255)], lambda x, y: int((x + 2 * y) % 3 == 0))
    ppm("src40.ppm", colours40, lambda x, y: (x * 7 + y * 3) % 40 if x % 4 else 5)
    lines = []

    def add(name, reference, tolerance=0):
        lines.append("%s %s %d" % (name, reference, tolerance))

    for src in ("src16", "src2", "src40"):
        convert(src + ".ppm", "ref-%s.bmp" % src, "-type", "TrueColor", "BMP3:")
    flavours = [("v5", "BMP:"), ("v3", "BMP3:")]
    for tag, fmt in flavours:
        made = [
            ("1bit", "src2", ["-type", "Palette"], 0),
            ("4bit", "src16", ["-type", "Palette", "-compress", "None"], 0),
            ("8bit", "src40", ["-type", "Palette", "-compress", "None"], 0),
            ("rle8", "src40", ["-type", "Palette"], 0),
            ("16bit-565", "src16", ["-define", "bmp:subtype=RGB565"], 8),
            ("16bit-555", "src16", ["-define", "bmp:subtype=RGB555"], 8),
            ("24bit", "src16", ["-type", "TrueColor"], 0),
            ("32bit", "src16", ["-type", "TrueColorAlpha", "-define", "bmp3:alpha=true"], 0),
        ]
        for name, src, options, tolerance in made:
            file = "%s-%s.bmp" % (tag, name)
            convert(src + ".ppm", file, *options, fmt)
            if tag == "v3" and name.startswith("16bit"):
                # Marked as bit fields after a 40-byte header, but without the
                # three masks there: the pixels would be read as masks.
                lines.append("%s - refused" % file)
            else:
                add(file, "ref-%s.bmp" % src, tolerance)
    # The 12-byte core header that BMP2 writes is not drawn as a wallpaper.
    convert("src16.ppm", "v2-4bit.bmp", "-type", "Palette", "BMP2:")
    lines.append("v2-4bit.bmp - refused")

    # The V5 pictures with their header cut to the V4, V3 and V2 sizes, and
    # to 40 bytes with the masks after it.
    for size, claimed in ((108, 108), (56, 56), (52, 52), (52, 40)):
        for name, src, tolerance in [("4bit", "src16", 0), ("rle8", "src40", 0),
                                     ("32bit", "src16", 0), ("16bit-565", "src16", 8)]:
            if claimed == 40 and name not in ("32bit", "16bit-565"):
                continue
            with open("v5-%s.bmp" % name, "rb") as f:
                data = Bmp(f.read()).with_header(size, claimed)
            file = "h%d-%s.bmp" % (claimed, name)
            with open(file, "wb") as f:
                f.write(data)
            add(file, "ref-%s.bmp" % src, tolerance)

    # Top-down rows, at 24, 8 and 32 bits, with the 40 and 124-byte headers.
    for name, src in [("v3-24bit", "src16"), ("v3-8bit", "src40"), ("v5-32bit", "src16"),
                      ("v5-1bit", "src2")]:
        with open(name + ".bmp", "rb") as f:
            data = Bmp(f.read()).top_down()
        with open("top-down-%s.bmp" % name, "wb") as f:
            f.write(data)
        add("top-down-%s.bmp" % name, "ref-%s.bmp" % src)

    # Indices 0..15 on a table of 6 entries: the missing ones are black; the
    # same indices as RLE4 codes on the full table.
    indices = [[(x * 5 + y * 3) % 16 for x in range(WIDTH)] for y in range(HEIGHT)]
    black = (0, 0, 0)
    with open("short-table-4bit.bmp", "wb") as f:
        f.write(write_bmp(4, indices, colours16[:6], clr_used=6))
    with open("ref-short-table.bmp", "wb") as f:
        f.write(write_bmp(24, [[colours16[i] if i < 6 else black for i in row]
                               for row in indices], []))
    add("short-table-4bit.bmp", "ref-short-table.bmp")
    with open("rle4.bmp", "wb") as f:
        f.write(write_bmp(4, indices, colours16, compression=2, codes=rle4(indices)))
    with open("ref-rle4.bmp", "wb") as f:
        f.write(write_bmp(24, [[colours16[i] for i in row] for row in indices], []))
    add("rle4.bmp", "ref-rle4.bmp")

    with open("corpus.txt", "w") as f:
        f.write("\n".join(lines) + "\n")
    print("bmp corpus: %d files in %s" % (len(lines), out))


if __name__ == "__main__":
    main()
