#!/usr/bin/env python3
"""End-to-end: the real program's context menus chosen with real keys. A
right click on an item opens the item menu, whose choices edit the item (the
title typed into the dialog reaches the item file) and delete it; a right
click on an empty cell opens the panel menu, whose choices open the settings
dialog and the about box, hide the panel and end the program with exit code 0.
The program runs from the data folder, beside a DLL named like each library
it loads at first use, with Wine told to prefer such DLLs to its own: none of
them is ever loaded, and the icons and dialogs still show; the common
controls loaded are those of version 6 that the program's manifest asks for.
A screenshot of each step is kept in BUILD_DIR/e2e-menus/.

Usage: test_menus.py NUBOTESA_EXE WINE_RUN BUILD_DIR PLANTED_DLL PROCESS_HANDLES_EXE"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Display, run, wait_for  # noqa: E402
from test_start import BACKGROUND, Program, dos_path, item_record, session_display  # noqa: E402

PLANTED = ("comctl32.dll", "comdlg32.dll")
CELL = 32
FRAME = 4
MENU_WHITE = (255, 255, 255)
PANEL_TITLE = "ぬぼてさぽん"
TRAY_TITLE = "Wine System Tray"


def item_titles(folder):
    """{key: title} of the item file."""
    with open(os.path.join(folder, "NuboInfo.Dat"), "rb") as f:
        data = f.read()
    titles = {}
    for at in range(0, len(data) - len(data) % 920, 920):
        key = struct.unpack_from("<i", data, at + 4)[0]
        titles[key] = data[at + 10:at + 138].split(b"\0", 1)[0].decode("cp932")
    return titles


class Session:
    def __init__(self, display, build_dir):
        self.display = display
        self.shots = os.path.join(build_dir, "e2e-menus")
        shutil.rmtree(self.shots, ignore_errors=True)
        os.makedirs(self.shots)
        self.step = 0
        self.window = None

    def shot(self, name):
        self.step += 1
        return self.display.screenshot(os.path.join(self.shots, "%02d-%s.png" % (self.step, name)))

    def panel_point(self, column, row, dx=28, dy=28):
        x, y, _, _ = self.display.geometry(self.window)
        return x + FRAME + column * CELL + dx, y + FRAME + row * CELL + dy

    def menu_choice(self, column, row, key, name):
        """Right-clicks near the bottom-right corner of a cell (the menu then
        opens over empty cells), waits until the menu is drawn and types the
        mnemonic `key`."""
        x, y = self.panel_point(column, row)
        self.display.click(x, y, button=3)

        def drawn():
            image = self.display.screenshot()
            return all(image.pixel(x + dx, y + dy) == MENU_WHITE for dx, dy in
                       [(4, 4), (8, 10), (12, 16), (6, 25), (14, 30)])
        wait_for("the menu at %d, %d" % (x, y), drawn, seconds=10)
        self.shot("menu-for-" + name)
        time.sleep(0.3)  # Wine's menu takes keys a moment after it is drawn
        self.display.xdotool("key", key)

    def dialog(self, title):
        return wait_for("the window " + title, lambda: self.display.find_windows(title))[0]

    def gone(self, title):
        wait_for("the window %s to go" % title, lambda: not self.display.find_windows(title))


def planted_loaded(folder):
    return "planted DLLs loaded: %r" % [n for n in PLANTED
                                        if os.path.exists(os.path.join(folder, n + ".loaded"))]


def main():
    exe, wine_run, build_dir, planted, helper = (os.path.abspath(a) for a in sys.argv[1:6])
    display = Display(session_display(build_dir))
    folder = tempfile.mkdtemp(prefix="e2e-menus-", dir=build_dir)
    try:
        exe = shutil.copy(exe, os.path.join(folder, "NuboTesa.exe"))
        for name in PLANTED:
            shutil.copy(planted, os.path.join(folder, name))
        program_path = dos_path(exe)
        with open(os.path.join(folder, "NuboInfo.Dat"), "wb") as f:
            for key, title in [(0, "first"), (1, "second")]:
                record = bytearray(item_record(key, title, program_path, program_path))
                work = dos_path(folder).encode("cp932")
                record[398:398 + len(work)] = work  # the working folder field
                f.write(bytes(record))
        with open(os.path.join(folder, "Nubotesa.ini"), "w", encoding="cp932") as f:
            f.write("[Config]\nBitmap=0\nStartup=0\n[Check]\nCheckFlag=1\n")

        s = Session(display, build_dir)
        program = Program(wine_run, exe, folder,
                          dict(os.environ, NUBO_DLL_OVERRIDES="comctl32,comdlg32=n,b"))
        tray = wait_for("the tray icon", lambda: display.find_windows(TRAY_TITLE), seconds=60)[0]
        tx, ty, _, _ = display.geometry(tray)
        display.click(tx + 12, ty + 33)
        s.window = wait_for("the panel", lambda: display.find_windows(PANEL_TITLE),
                            on_timeout=lambda: planted_loaded(folder))[0]
        x, y = s.panel_point(0, 0, 4, 12)
        wait_for("the first item's icon", lambda: sum(
            1 for dx in range(CELL - 8) if display.screenshot().pixel(x + dx, y) != BACKGROUND)
            > 4, seconds=10, on_timeout=lambda: planted_loaded(folder))
        s.shot("shown")
        # The manifest's version 6 (Wine's answers DllGetVersion with 5.81).
        comctl32 = subprocess.run([wine_run, helper, "NuboTesa.exe", "comctl32.dll"],
                                  capture_output=True, text=True).stdout.strip()
        assert "common-controls_6595b64144ccf1df_6." in comctl32.lower(), comctl32

        # Edit: the title typed into the dialog reaches the item file.
        s.menu_choice(0, 0, "c", "item")
        s.dialog("登録内容の変更")
        s.shot("edit-dialog")
        display.xdotool("key", "End")
        display.xdotool("key", "--repeat", "10", "BackSpace")
        display.xdotool("type", "edited")
        s.shot("edit-typed")
        display.xdotool("key", "Return")
        s.gone("登録内容の変更")
        wait_for("the new title in the item file", lambda: item_titles(folder).get(0) == "edited",
                 seconds=5)
        s.shot("edited")

        # Delete the second item.
        s.menu_choice(1, 0, "d", "item")
        wait_for("the deletion in the item file", lambda: 1 not in item_titles(folder), seconds=5)
        assert item_titles(folder) == {0: "edited"}, item_titles(folder)
        s.shot("deleted")

        # Settings: the dialog opens; OK keeps the panel shown and saves.
        before = os.path.getmtime(os.path.join(folder, "Nubotesa.ini"))
        s.menu_choice(3, 2, "c", "panel")
        s.dialog("設定ダイアログ")
        s.shot("settings-dialog")
        time.sleep(0.05)
        display.xdotool("key", "Return")
        s.gone("設定ダイアログ")
        wait_for("the settings saved", lambda: os.path.getmtime(
            os.path.join(folder, "Nubotesa.ini")) >= before, seconds=5)
        assert display.find_windows(PANEL_TITLE), "the panel is not shown after the settings"

        # About box, closed with Enter.
        s.menu_choice(3, 2, "v", "panel")
        s.dialog("サポート情報")
        s.shot("about")
        display.xdotool("key", "Return")
        s.gone("サポート情報")

        # Hide, then back through the tray icon.
        s.menu_choice(3, 2, "s", "panel")
        s.gone(PANEL_TITLE)
        s.shot("hidden")
        display.click(tx + 12, ty + 33)
        wait_for("the panel again", lambda: display.find_windows(PANEL_TITLE))

        # Exit: the normal close, exit code 0.
        s.menu_choice(3, 2, "e", "panel")
        code = program.proc.wait(timeout=30)
        s.shot("ended")
        assert code == 0, "exit code %d" % code
        assert planted_loaded(folder).endswith("[]"), planted_loaded(folder)
        print("e2e menus: 1 passed, 0 failed; comctl32 %s; screenshots in %s" % (comctl32, s.shots))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    run("menus", main)
