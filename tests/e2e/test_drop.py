#!/usr/bin/env python3
"""End-to-end: files dropped onto the real program from an X client speaking
XDND, as a Linux file manager drops them. A program dropped onto an empty cell
shows its icon there at once and is in the item file; a document dropped onto
that item starts the program with the document, in the item's folder.
A program named outside code page 932, dropped on the frame, starts by a click.
The folders are named in Japanese: the program started there keeps and
launches their names byte for byte whatever the system's code page.

Usage: test_drop.py NUBOTESA_EXE WINE_RUN BUILD_DIR LAUNCH_RECORDER_EXE"""

import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Display, run, wait_for  # noqa: E402
from test_start import (BACKGROUND, CELL, PANEL_TITLE, Program, dos_path,  # noqa: E402
                        session_display, wait_for_welcome)
from xdnd import drop_files  # noqa: E402

FRAME = 4  # the sizing frame of the panel under Wine


def read_items(folder):
    path = os.path.join(folder, "NuboInfo.Dat")
    data = open(path, "rb").read() if os.path.exists(path) else b""
    field = lambda r, at, size: r[at:at + size].split(b"\0")[0].decode("cp932")  # noqa: E731
    return [(int.from_bytes(r[4:8], "little"), field(r, 138, 260), field(r, 398, 260))
            for r in (data[i:i + 920] for i in range(0, len(data) - 919, 920))]


def main():
    exe, wine_run, build_dir, recorder = (os.path.abspath(a) for a in sys.argv[1:5])
    name = session_display(build_dir)
    display = Display(name)
    folder = tempfile.mkdtemp(prefix="e2e-drop-ドロップ-", dir=build_dir)
    program = None
    try:
        tools = os.path.join(folder, "my ソフト")
        os.mkdir(tools)
        shutil.copy(recorder, os.path.join(tools, "launch_recorder.exe"))
        document = os.path.join(folder, "a メモ.txt")
        open(document, "w").write("text")
        with open(os.path.join(folder, "Nubotesa.ini"), "w") as f:
            f.write("[Config]\nBitmap=0\nStartup=0\n")
        program = Program(wine_run, exe, folder)
        box = wait_for_welcome(display)
        display.xdotool("key", "--window", box, "Return")
        window = wait_for("the panel", lambda: display.find_windows(PANEL_TITLE))[0]
        x, y, _, _ = display.geometry(window)
        cell_x, cell_y = x + FRAME + CELL, y + FRAME  # cell 1 of the first row

        drop_files(name, window, cell_x + 10, cell_y + 10,
                   [os.path.join(tools, "launch_recorder.exe"), document])
        target = dos_path(os.path.join(tools, "launch_recorder.exe"))
        items = wait_for("the item in the file", lambda: read_items(folder))
        assert items == [(1, target, dos_path(tools))], items

        def icon_drawn():
            image = display.screenshot()
            pixels = [image.pixel(cell_x + dx, cell_y + dy) for dy in range(4, CELL - 4)
                      for dx in range(4, CELL - 4)]
            return sum(p != BACKGROUND for p in pixels) > len(pixels) // 4
        wait_for("the icon at cell 1", icon_drawn, seconds=5)

        record = os.path.join(tools, "launch_record.txt")
        drop_files(name, window, cell_x + 10, cell_y + 10, [document])
        wait_for("the program started with the document", lambda: os.path.exists(record),
                 seconds=30)
        lines = open(record, encoding="cp932").read().splitlines()
        assert lines[0].endswith(' "%s"' % dos_path(document)), lines
        assert lines[1] == dos_path(tools), lines
        assert len(read_items(folder)) == 1, read_items(folder)
        os.remove(record)
        unicode_program = shutil.copy(recorder, os.path.join(tools, "실행 é 🎉.exe"))
        drop_files(name, window, x + 1, cell_y + CELL + 10, [unicode_program])  # the left frame
        wait_for("cell 128", lambda: [item[0] for item in read_items(folder)] == [1, 128])
        display.click(x + FRAME + 10, cell_y + CELL + 10)
        wait_for("the program started by a click", lambda: os.path.exists(record), seconds=30)
        code = program.close(wine_run)
        program = None
        assert code == 0, "exit code %d" % code
        print("e2e drop: 1 passed, 0 failed")
    finally:
        if program:
            program.close(wine_run)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    run("drop", main)
