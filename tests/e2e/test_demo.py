#!/usr/bin/env python3
"""End-to-end: the demo folder of scripts/run --demo works under Wine. Every
item's target exists in the test prefix or on this machine, the program starts
there with the greeting and shows the grid of the demo's settings with an
icon in each item's cell and the other cells empty.

Usage: test_demo.py NUBOTESA_EXE WINE_RUN BUILD_DIR SOURCE_DIR"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Display, attempt, run, wait_for  # noqa: E402
from test_start import Program, session_display, wait_for_welcome  # noqa: E402

BACKGROUND = (158, 195, 255)


def linux_path(dos, prefix):
    if dos[:2].upper() == "Z:":
        return dos[2:].replace("\\", "/")
    assert dos[:2].upper() == "C:", dos
    return os.path.join(prefix, "drive_c", dos[3:].replace("\\", "/"))


def read_items(folder):
    with open(os.path.join(folder, "NuboInfo.Dat"), "rb") as f:
        data = f.read()
    assert len(data) % 920 == 0, len(data)
    items = []
    for at in range(0, len(data), 920):
        key, icon_index = struct.unpack_from("<iH", data, at + 4)
        text = [data[at + o:at + o + n].split(b"\0")[0].decode("cp932")
                for o, n in ((10, 128), (138, 260), (398, 260), (658, 260))]
        items.append((key, icon_index, *text))
    return items


def settings(folder):
    with open(os.path.join(folder, "Nubotesa.ini"), encoding="cp932") as f:
        return dict(line.strip().split("=", 1) for line in f if "=" in line)


def check_cells(display, window, cell, keys):
    x, y, width, height = display.geometry(window)
    frame = (width - 4 * cell) // 2
    assert (width - 2 * frame, height - 2 * frame) == (4 * cell, 2 * cell), \
        "grid %dx%d, expected 4 x 2 cells of %d" % (width - 2 * frame, height - 2 * frame, cell)
    image = display.screenshot()
    for row in range(2):
        for column in range(4):
            cx, cy = x + frame + column * cell, y + frame + row * cell
            pixels = [image.pixel(cx + dx, cy + dy) for dy in range(6, cell - 8)
                      for dx in range(6, cell - 8)]
            drawn = sum(1 for p in pixels if p != BACKGROUND)
            has_item = row * 128 + column in keys
            assert (drawn > len(pixels) // 5) == has_item, \
                "cell (%d, %d): %d of %d pixels drawn, item: %s" % (
                    column, row, drawn, len(pixels), has_item)
    return True


def main():
    exe, wine_run, build_dir, source_dir = (os.path.abspath(a) for a in sys.argv[1:5])
    display = Display(session_display(build_dir))
    folder = tempfile.mkdtemp(prefix="e2e-demo-", dir=build_dir)
    try:
        subprocess.run([sys.executable, os.path.join(source_dir, "scripts", "demo-folder"),
                        folder], check=True)
        prefix = os.path.join(build_dir, "wineprefix")
        items = read_items(folder)
        assert len(items) >= 4, items
        for key, icon_index, title, target, work_dir, icon_file in items:
            for what, path in (("target", target), ("folder", work_dir), ("icon", icon_file)):
                assert os.path.exists(linux_path(path, prefix)), "%s: %s %s is missing" % (
                    title, what, path)
        cell = int(settings(folder)["IconSize"])
        # A plain background, so that drawn icons stand out.
        ini = os.path.join(folder, "Nubotesa.ini")
        with open(ini, encoding="cp932") as f:
            text = f.read()
        with open(ini, "w", encoding="cp932", newline="\r\n") as f:
            f.write(text.replace("[Config]\n", "[Config]\nBitmap=0\n", 1))

        program = Program(wine_run, exe, folder)
        box = wait_for_welcome(display)
        display.xdotool("key", "--window", box, "Return")
        window = wait_for("the panel", lambda: display.find_windows("ぬぼてさぽん"))[0]
        keys = {item[0] for item in items}
        wait_for("icons in the item cells only",
                 lambda: attempt(check_cells, display, window, cell, keys), seconds=10)
        code = program.close(wine_run)
        assert code == 0, "exit code %d" % code
        print("e2e demo: 1 passed, 0 failed")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    run("demo", main)
