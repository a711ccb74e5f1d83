#!/usr/bin/env python3
"""End-to-end: real pointer input on the running program. A click starts an
item (the launch recorder notes its start), a drag moves an item to an empty
cell, another swaps two items (both read back from the item file), and a drag
on an empty cell moves the window (its saved rectangle changes). Every step
leaves a screenshot under BUILD_DIR/e2e-pointer/.

With --bench MOVES DRAGS it also reports the program's open handle count
before and after that many pointer moves and drags.

Usage: test_pointer.py NUBOTESA_EXE WINE_RUN BUILD_DIR LAUNCH_RECORDER_EXE
                       PROCESS_HANDLES_EXE [--bench MOVES DRAGS]"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Display, run, wait_for  # noqa: E402
from test_start import dos_path, item_record, read_settings, session_display  # noqa: E402

CELL = 32
PANEL_TITLE = "ぬぼてさぽん"
TRAY_TITLE = "Wine System Tray"


def item_keys(folder):
    """{title: key} as the item file holds them now."""
    with open(os.path.join(folder, "NuboInfo.Dat"), "rb") as f:
        data = f.read()
    keys = {}
    for at in range(0, len(data) - 919, 920):
        record = data[at:at + 920]
        key = int.from_bytes(record[4:8], "little", signed=True)
        keys[record[10:138].split(b"\0")[0].decode("cp932")] = key
    return keys


class Session:
    def __init__(self, args):
        self.exe, self.wine_run, self.build_dir, self.recorder, self.handles = args[:5]
        self.display = Display(session_display(self.build_dir))
        self.shots = os.path.join(self.build_dir, "e2e-pointer")
        os.makedirs(self.shots, exist_ok=True)
        self.step = 0
        self.folder = tempfile.mkdtemp(prefix="e2e-pointer-", dir=self.build_dir)
        self.record = os.path.join(self.folder, "launched.txt")

    def start(self):
        shutil.copy(self.exe, os.path.join(self.folder, "NuboTesa.exe"))
        shutil.copy(self.recorder, os.path.join(self.folder, "recorder.exe"))
        icon = dos_path(os.path.join(self.folder, "NuboTesa.exe"))
        target = dos_path(os.path.join(self.folder, "recorder.exe"))
        with open(os.path.join(self.folder, "NuboInfo.Dat"), "wb") as f:
            for key, title in [(0, "一番"), (1, "two")]:
                f.write(item_record(key, title, target, icon))
        with open(os.path.join(self.folder, "Nubotesa.ini"), "w", encoding="cp932") as f:
            f.write("[Config]\nBitmap=0\nStartup=0\nSmall=0\n[Check]\nCheckFlag=1\n")
        env = dict(os.environ, NUBO_LAUNCH_RECORD=dos_path(self.record))
        self.proc = subprocess.Popen([self.wine_run, self.exe], cwd=self.folder, env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Started hidden, shown through the tray icon. (A Return sent to the
        # welcome box stays down for Wine and would end the window's move
        # loop at once.)
        tray = wait_for("the tray icon", lambda: self.display.find_windows(TRAY_TITLE),
                        seconds=60)[0]
        wait_for("the panel window", lambda: self.display.find_windows(PANEL_TITLE, visible=False))
        tx, ty, _, _ = self.display.geometry(tray)
        self.display.click(tx + 12, ty + 33)
        self.window = wait_for("the panel", lambda: self.display.find_windows(PANEL_TITLE))[0]
        self.shot("started")

    def shot(self, what):
        self.step += 1
        path = os.path.join(self.shots, "%02d-%s.png" % (self.step, what))
        self.display.screenshot(path)
        return path

    def cell_point(self, key, dx=0, dy=0):
        x, y, width, height = self.display.geometry(self.window)
        frame = next(f for f in range(1, 12) if (width - 2 * f) % CELL == 0
                     and (height - 2 * f) % CELL == 0)
        return (x + frame + (key % 128) * CELL + CELL // 2 + dx,
                y + frame + (key // 128) * CELL + CELL // 2 + dy)

    def move(self, point):
        self.display.xdotool("mousemove", *point)
        time.sleep(0.05)

    def drag(self, start, end, steps=4):
        self.move(start)
        self.display.xdotool("mousedown", 1)
        time.sleep(0.05)
        for i in range(1, steps + 1):
            self.move((start[0] + (end[0] - start[0]) * i // steps,
                       start[1] + (end[1] - start[1]) * i // steps))
        self.display.xdotool("mouseup", 1)
        time.sleep(0.05)

    def handle_count(self):
        out = subprocess.run([self.wine_run, self.handles, "NuboTesa.exe"], capture_output=True,
                             text=True).stdout.split()
        return int(out[2]) if len(out) == 3 else None

    def close(self):
        subprocess.run([self.wine_run, "C:\\windows\\system32\\taskkill.exe", "/im",
                        "NuboTesa.exe"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            return self.proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise


def saved_corner(folder):
    """The saved window corner; None while the program is rewriting the file
    (a key can be missing or cut then)."""
    try:
        saved = read_settings(folder)
        return int(saved["Left"]), int(saved["Top"])
    except (KeyError, ValueError):
        return None


def check_gestures(s):
    # A click: press and release on the item without moving.
    s.move(s.cell_point(0))
    s.display.xdotool("click", 1)
    wait_for("the launch record", lambda: os.path.exists(s.record))
    with open(s.record, encoding="cp932", errors="replace") as f:
        lines = f.read().splitlines()
    assert "recorder.exe" in lines[0], lines
    os.remove(s.record)
    s.shot("clicked")

    s.drag(s.cell_point(0), s.cell_point(2))
    wait_for("the item at cell 2", lambda: item_keys(s.folder) == {"一番": 2, "two": 1})
    s.shot("moved")
    s.drag(s.cell_point(2), s.cell_point(1))
    wait_for("the two items swapped", lambda: item_keys(s.folder) == {"一番": 1, "two": 2})
    s.shot("swapped")
    assert not os.path.exists(s.record), "a drag started the item"

    # A drag on an empty cell moves the whole window; the end saves it.
    before = read_settings(s.folder)
    x, y, _, _ = s.display.geometry(s.window)
    s.drag(s.cell_point(4), s.cell_point(4, 40, 30))
    wait_for("the window moved from %r" % ((x, y),),
             lambda: s.display.geometry(s.window)[:2] == (x + 40, y + 30),
             on_timeout=lambda: "at %r" % (s.display.geometry(s.window),))
    wait_for("the rectangle saved", lambda: saved_corner(s.folder) == (x + 40, y + 30))
    after = read_settings(s.folder)
    assert int(after["Right"]) - int(after["Left"]) == \
        int(before["Right"]) - int(before["Left"]), (before, after)
    s.shot("window-moved")


def bench(s, moves, drags):
    first = s.handle_count()
    cells = [s.cell_point(k) for k in (0, 1, 2, 3)]
    for i in range(moves):
        s.display.xdotool("mousemove", *cells[i % 4])
    for i in range(drags):
        ends = (1, 3) if i % 2 == 0 else (3, 1)
        s.drag(s.cell_point(ends[0]), s.cell_point(ends[1]), steps=2)
    s.shot("after-bench")
    last = s.handle_count()
    print("handles of NuboTesa.exe: %s before, %s after %d moves and %d drags"
          % (first, last, moves, drags))


def main():
    args = [os.path.abspath(a) for a in sys.argv[1:6]]
    s = Session(args)
    try:
        s.start()
        check_gestures(s)
        if "--bench" in sys.argv:
            at = sys.argv.index("--bench")
            bench(s, int(sys.argv[at + 1]), int(sys.argv[at + 2]))
        code = s.close()
        assert code == 0, "exit code %d" % code
        print("e2e pointer: 1 passed, 0 failed; screenshots in %s" % s.shots)
    finally:
        shutil.rmtree(s.folder, ignore_errors=True)


if __name__ == "__main__":
    run("pointer", main)
