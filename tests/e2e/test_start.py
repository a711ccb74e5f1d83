#!/usr/bin/env python3
"""End-to-end: the built program starts under Wine on the test display in a
folder that holds an item file and a settings file, named with characters
code page 932 lacks (reached by its short name), greets on its first start,
shows its grid with the items' icons at their cells, closes with exit code 0,
and starts hidden the next time, coming back through its tray icon.

Usage: test_start.py NUBOTESA_EXE WINE_RUN BUILD_DIR"""

import glob
import os
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Display, attempt, run, wait_for  # noqa: E402

CELL = 32
BACKGROUND = (158, 195, 255)
PANEL_TITLE = "ぬぼてさぽん"
WELCOME_CAPTION = "ほこらぎ工房より"
TRAY_TITLE = "Wine System Tray"


def dos_path(path):
    return "Z:" + path.replace("/", "\\")


def item_record(key, title, target, icon_file):
    def field(text, size):
        raw = text.encode("cp932")
        assert len(raw) < size
        return raw + b"\0" * (size - len(raw))
    record = (b"\0" * 4 + struct.pack("<iH", key, 0) + field(title, 128) + field(target, 260)
              + field("", 260) + field(icon_file, 260) + b"\0\0")
    assert len(record) == 920
    return record


def session_display(build_dir):
    with open(os.path.join(build_dir, "wine-session.state")) as f:
        values = dict(line.strip().split("=", 1) for line in f if "=" in line)
    return values["NUBO_DISPLAY"]


def startup_shortcut(session):
    """Where the launcher keeps its Startup shortcut in the session's prefix."""
    folders = glob.glob(os.path.join(session, "wineprefix", "drive_c", "users", "*", "AppData",
                                     "Roaming", "Microsoft", "Windows", "Start Menu",
                                     "Programs", "StartUp"))
    return os.path.join(folders[0] if folders else session, "NuboTesa.lnk")


class Program:
    def __init__(self, wine_run, exe, folder, env=None):
        self.proc = subprocess.Popen([wine_run, exe], cwd=folder, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, env=env)

    def close(self, wine_run):
        """Closes the program as the shell would (WM_CLOSE) and returns its exit code."""
        subprocess.run([wine_run, "C:\\windows\\system32\\taskkill.exe", "/im", "NuboTesa.exe"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            return self.proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise


def wait_for_welcome(display):
    """The first start's greeting box, once it shows (a cold start on a loaded
    machine has taken longer than 20 s)."""
    return wait_for("the welcome message", lambda: display.find_windows(WELCOME_CAPTION),
                    seconds=60, on_timeout=display.describe)[0]


def read_settings(folder):
    values = {}
    with open(os.path.join(folder, "Nubotesa.ini"), encoding="cp932") as f:
        for line in f:
            if "=" in line:
                k, v = line.strip().split("=", 1)
                values[k] = v
    return values


def check_grid(display, window, folder, shot_path):
    x, y, width, height = display.geometry(window)
    saved = read_settings(folder)
    saved_rect = (int(saved["Left"]), int(saved["Top"]), int(saved["Right"]), int(saved["Bottom"]))
    assert (x, y, x + width, y + height) == saved_rect, \
        "window %r, saved rectangle %r" % ((x, y, width, height), saved_rect)
    # The sizing frame is the same on all four sides; the client area inside
    # it must be whole cells.
    frame = next(f for f in range(1, 12) if (width - 2 * f) % CELL == 0
                 and (height - 2 * f) % CELL == 0)
    image = display.screenshot(shot_path)
    origin = (x + frame, y + frame)

    def cell_pixels(column, row):
        cx, cy = origin[0] + column * CELL, origin[1] + row * CELL
        return [image.pixel(cx + dx, cy + dy) for dy in range(4, CELL - 8)
                for dx in range(4, CELL - 8)]

    for column, row in [(0, 0), (1, 0), (1, 1)]:
        pixels = cell_pixels(column, row)
        drawn = sum(1 for p in pixels if p != BACKGROUND)
        assert drawn > len(pixels) // 4, "no icon at cell (%d, %d): %d of %d pixels drawn" % (
            column, row, drawn, len(pixels))
    empty = cell_pixels(2, 0)
    assert all(p == BACKGROUND for p in empty), "cell (2, 0) is not empty: %r" % (
        sorted(set(empty))[:5],)
    return frame


def main():
    exe, wine_run, build_dir = (os.path.abspath(a) for a in sys.argv[1:4])
    display = Display(session_display(build_dir))
    top = tempfile.mkdtemp(prefix="e2e-start-", dir=build_dir)
    folder = os.path.join(top, "開始 é 한")
    os.mkdir(folder)
    try:
        shutil.copy(exe, os.path.join(top, "NuboTesa.exe"))
        icon_source = dos_path(os.path.join(top, "NuboTesa.exe"))
        with open(os.path.join(folder, "NuboInfo.Dat"), "wb") as f:
            for key, title in [(0, "最初"), (1, "second"), (129, "third")]:
                f.write(item_record(key, title, icon_source, icon_source))
        with open(os.path.join(folder, "Nubotesa.ini"), "w", encoding="cp932") as f:
            f.write("[Config]\nBitmap=0\nStartup=0\n")

        # First start: the welcome message, then the grid.
        program = Program(wine_run, exe, folder)
        box = wait_for_welcome(display)
        assert not display.find_windows(PANEL_TITLE), "the panel showed before the greeting"
        display.xdotool("key", "--window", box, "Return")
        window = wait_for("the panel", lambda: display.find_windows(PANEL_TITLE))[0]
        shot = os.path.join(build_dir, "e2e-start.png")
        frame = wait_for("icons drawn at their cells", lambda: attempt(check_grid, display, window,
                                                                       folder, shot), seconds=10)
        print("panel frame %d px, screenshot %s" % (frame, shot))
        code = program.close(wine_run)
        assert code == 0, "exit code %d" % code
        settings = read_settings(folder)
        assert settings["CheckFlag"] == "1", settings

        # Second start: hidden, back through the tray icon.
        program = Program(wine_run, exe, folder)
        tray = wait_for("the tray icon", lambda: display.find_windows(TRAY_TITLE), seconds=60)[0]
        wait_for("the panel window", lambda: display.find_windows(PANEL_TITLE, visible=False))
        assert not display.find_windows(PANEL_TITLE), "the second start is not hidden"
        tx, ty, _, _ = display.geometry(tray)
        display.click(tx + 12, ty + 33)
        window = wait_for("the panel after a tray click", lambda: display.find_windows(PANEL_TITLE))
        code = program.close(wine_run)
        assert code == 0, "exit code %d" % code
        print("e2e start: 1 passed, 0 failed")
    finally:
        shutil.rmtree(top, ignore_errors=True)


if __name__ == "__main__":
    run("start", main)
