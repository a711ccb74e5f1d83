#!/usr/bin/env python3
"""Makes the program's icons, cursors and sample wallpaper.

Icons and cursors are drawn as text art in art/*.txt, one image per file:

    # a comment
    size: 32x32
    colours: vga16          (icons: the 16 standard colours) or mono (cursors)
    hotspot: 14,13          (cursors only)
    ................        one row per line, one character per pixel

In vga16 art the letters K r g y b m c s d R G Y B M C W stand for the 16
colours in palette order (black, maroon, green, olive, navy, purple, teal,
silver, grey, red, lime, yellow, blue, fuchsia, aqua, white); in mono art only
K (black) and W (white) are allowed. A dot is transparent.

    make_images.py           write art/*.ico, art/*.cur and sample.bmp
    make_images.py --check   exit 1 unless the committed files are exactly
                             what this script makes

Only the standard library is used, and the wallpaper is computed in integers,
so the output is the same byte for byte on every machine.
"""

import pathlib
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent
ART = HERE / "art"

VGA16 = [
    ("K", (0, 0, 0)), ("r", (128, 0, 0)), ("g", (0, 128, 0)), ("y", (128, 128, 0)),
    ("b", (0, 0, 128)), ("m", (128, 0, 128)), ("c", (0, 128, 128)), ("s", (192, 192, 192)),
    ("d", (128, 128, 128)), ("R", (255, 0, 0)), ("G", (0, 255, 0)), ("Y", (255, 255, 0)),
    ("B", (0, 0, 255)), ("M", (255, 0, 255)), ("C", (0, 255, 255)), ("W", (255, 255, 255)),
]
MONO = [("K", (0, 0, 0)), ("W", (255, 255, 255))]
PALETTES = {"vga16": (VGA16, 4), "mono": (MONO, 1)}
TRANSPARENT = "."

# Output file -> the art files of its images, largest first.
ICONS = {
    "program.ico": ["program32.txt", "program16.txt"],
    "blank.ico": ["blank32.txt"],
}
CURSORS = {
    "drag_item.cur": "drag_item.txt",
    "fist.cur": "fist.txt",
    "open_hand.cur": "open_hand.txt",
    "pointing_hand.cur": "pointing_hand.txt",
}
WALLPAPER = "sample.bmp"


class ArtError(Exception):
    pass


class Art:
    def __init__(self, name, width, height, colours, hotspot, rows):
        self.name = name
        self.width = width
        self.height = height
        self.colours = colours
        self.hotspot = hotspot
        self.rows = rows


def parse_pair(text, separator, where):
    parts = text.split(separator)
    if len(parts) != 2 or not all(p.strip().isdigit() for p in parts):
        raise ArtError(f"{where}: expected two numbers separated by '{separator}', got '{text}'")
    return int(parts[0]), int(parts[1])


def read_art(path):
    header = {}
    rows = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.rstrip()
        if not line or line.startswith("#"):
            continue
        if ":" in line:
            if rows:
                raise ArtError(f"{path.name}:{number}: header line after the picture")
            key, value = (part.strip() for part in line.split(":", 1))
            header[key] = (value, f"{path.name}:{number}")
            continue
        rows.append((number, line))
    for key in ("size", "colours"):
        if key not in header:
            raise ArtError(f"{path.name}: missing '{key}:' line")
    width, height = parse_pair(header["size"][0], "x", header["size"][1])
    colours = header["colours"][0]
    if colours not in PALETTES:
        raise ArtError(f"{header['colours'][1]}: unknown colours '{colours}'")
    hotspot = None
    if "hotspot" in header:
        hotspot = parse_pair(header["hotspot"][0], ",", header["hotspot"][1])
    check_picture(path.name, width, height, colours, rows)
    return Art(path.name, width, height, colours, hotspot, [row for _, row in rows])


def check_picture(name, width, height, colours, rows):
    if not 0 < width <= 256 or not 0 < height <= 256:
        raise ArtError(f"{name}: size {width}x{height} is not 1 to 256 pixels")
    if len(rows) != height:
        raise ArtError(f"{name}: {len(rows)} rows, expected {height}")
    allowed = {letter for letter, _ in PALETTES[colours][0]} | {TRANSPARENT}
    for number, row in rows:
        if len(row) != width:
            raise ArtError(f"{name}:{number}: {len(row)} pixels, expected {width}")
        stray = sorted(set(row) - allowed)
        if stray:
            raise ArtError(f"{name}:{number}: characters {''.join(stray)} are not in {colours}")


def pack_rows(art, value_of, bits):
    """A bottom-up bitmap of `bits` per pixel, each row padded to 4 bytes."""
    out = bytearray()
    per_byte = 8 // bits
    for row in reversed(art.rows):
        packed = bytearray()
        for start in range(0, art.width, per_byte):
            byte = 0
            for i, pixel in enumerate(row[start:start + per_byte]):
                byte |= value_of(pixel) << (8 - bits * (i + 1))
            packed.append(byte)
        packed.extend(b"\0" * (-len(packed) % 4))
        out += packed
    return bytes(out)


def icon_image(art):
    """The image of an icon or cursor: header, colour table, colour and mask bitmaps."""
    palette, bits = PALETTES[art.colours]
    index = {letter: i for i, (letter, _) in enumerate(palette)}
    colour = pack_rows(art, lambda p: 0 if p == TRANSPARENT else index[p], bits)
    mask = pack_rows(art, lambda p: 1 if p == TRANSPARENT else 0, 1)
    header = struct.pack("<IiiHHIIiiII", 40, art.width, art.height * 2, 1, bits, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in palette)
    return header + table + colour + mask


def directory(kind, entries):
    """An .ico (kind 1) or .cur (kind 2) file from (art, image, field1, field2) entries,
    where the two fields are planes and bit count for icons, the hotspot for cursors."""
    out = bytearray(struct.pack("<HHH", 0, kind, len(entries)))
    offset = 6 + 16 * len(entries)
    for art, image, first, second in entries:
        colour_count = len(PALETTES[art.colours][0]) % 256
        out += struct.pack("<BBBBHHII", art.width % 256, art.height % 256, colour_count, 0,
                           first, second, len(image), offset)
        offset += len(image)
    for _, image, _, _ in entries:
        out += image
    return bytes(out)


def make_icon(arts):
    for art in arts:
        if art.colours != "vga16" or art.hotspot is not None:
            raise ArtError(f"{art.name}: icon art needs vga16 colours and no hotspot")
    return directory(1, [(a, icon_image(a), 1, PALETTES[a.colours][1]) for a in arts])


def make_cursor(art):
    if art.colours != "mono" or art.hotspot is None:
        raise ArtError(f"{art.name}: cursor art needs mono colours and a hotspot")
    x, y = art.hotspot
    if not (0 <= x < art.width and 0 <= y < art.height):
        raise ArtError(f"{art.name}: hotspot {x},{y} lies outside the image")
    if art.rows[y][x] == TRANSPARENT:
        raise ArtError(f"{art.name}: hotspot {x},{y} is on a transparent pixel")
    return directory(2, [(art, icon_image(art), x, y)])


# The wallpaper: a soft sky gradient with staggered rows of pale dots.
WALL_WIDTH, WALL_HEIGHT = 256, 192
WALL_TOP, WALL_BOTTOM = (150, 190, 232), (232, 240, 246)
DOT_SPACING, DOT_RADIUS, DOT_EDGE = 32, 7, 2  # pixels; the edge is the soft rim
DOT_LIGHTEN = 96  # of 256: how far a dot's centre moves towards white


def mix(a, b, num, den):
    return tuple((x * (den - num) + y * num + den // 2) // den for x, y in zip(a, b))


def dot_cover(x, y):
    """How much of pixel (x, y) a dot covers, 0 to 256, from its distance to the nearest
    dot centre. Rows of dots are staggered by half the spacing."""
    row = y // DOT_SPACING
    shift = DOT_SPACING // 2 if row % 2 else 0
    cx = ((x - shift) // DOT_SPACING) * DOT_SPACING + shift + DOT_SPACING // 2
    cy = row * DOT_SPACING + DOT_SPACING // 2
    # Distances in half pixels, measured from the pixel's centre.
    dx, dy = 2 * (x - cx) + 1, 2 * (y - cy) + 1
    d2 = dx * dx + dy * dy
    inner, outer = (2 * DOT_RADIUS) ** 2, (2 * (DOT_RADIUS + DOT_EDGE)) ** 2
    if d2 <= inner:
        return 256
    if d2 >= outer:
        return 0
    return (outer - d2) * 256 // (outer - inner)


def make_wallpaper():
    stride = (WALL_WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(WALL_HEIGHT)):
        sky = mix(WALL_TOP, WALL_BOTTOM, y, WALL_HEIGHT - 1)
        row = bytearray()
        for x in range(WALL_WIDTH):
            r, g, b = mix(sky, (255, 255, 255), dot_cover(x, y) * DOT_LIGHTEN // 256, 256)
            row += bytes((b, g, r))
        row.extend(b"\0" * (stride - len(row)))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, WALL_WIDTH, WALL_HEIGHT, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def build():
    """Every output file, relative to this folder, with its bytes."""
    outputs = {}
    for name, sources in ICONS.items():
        outputs["art/" + name] = make_icon([read_art(ART / s) for s in sources])
    for name, source in CURSORS.items():
        outputs["art/" + name] = make_cursor(read_art(ART / source))
    outputs[WALLPAPER] = make_wallpaper()
    return outputs


def main(argv):
    if argv not in ([], ["--check"]):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        outputs = build()
    except (ArtError, OSError) as error:
        print(f"make_images: {error}", file=sys.stderr)
        return 1
    if argv == ["--check"]:
        stale = [name for name, data in outputs.items()
                 if not (HERE / name).is_file() or (HERE / name).read_bytes() != data]
        for name in stale:
            print(f"make_images: {name} differs from its source; run make_images.py",
                  file=sys.stderr)
        return 1 if stale else 0
    for name, data in outputs.items():
        (HERE / name).write_bytes(data)
        print(f"wrote {name} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
