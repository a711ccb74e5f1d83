#!/usr/bin/env python3
"""End-to-end: one launcher per data folder. A second start in a folder where
the launcher runs hidden shows that one's panel and exits 0 without touching
the item file or the settings file; a start in another folder runs beside it;
after the launchers are killed outright (TerminateProcess), the next start in
the first folder runs, and a start after that through the shortcut it keeps in
the Startup folder (its working folder the data folder, as a shortcut with a
shortcut key is made) shows that one's hidden panel again. A close whose last
save the settings file refuses says so in a box that outlives the launcher's
claim on the folder: a start there meanwhile runs at once.

Usage: test_instance.py NUBOTESA_EXE WINE_RUN BUILD_DIR"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Display, run, wait_for  # noqa: E402
from test_start import (PANEL_TITLE, Program, dos_path, item_record,  # noqa: E402
                        session_display, startup_shortcut)

FILES = ("NuboInfo.Dat", "Nubotesa.ini")


def make_folder(build_dir, exe, tag, startup=0):
    folder = tempfile.mkdtemp(prefix="e2e-instance-%s-" % tag, dir=build_dir)
    shutil.copy(exe, os.path.join(folder, "NuboTesa.exe"))
    icon = dos_path(os.path.join(folder, "NuboTesa.exe"))
    with open(os.path.join(folder, "NuboInfo.Dat"), "wb") as f:
        f.write(item_record(0, "first " + tag, icon, icon) + item_record(1, "second", icon, icon))
    with open(os.path.join(folder, "Nubotesa.ini"), "w", encoding="cp932") as f:
        f.write("[Config]\nBitmap=0\nStartup=%d\n[Check]\nCheckFlag=1\n" % startup)
    return folder


def snapshot(folder):
    """Bytes and modification times of both files."""
    result = {}
    for name in FILES:
        path = os.path.join(folder, name)
        with open(path, "rb") as f:
            result[name] = (f.read(), os.stat(path).st_mtime_ns)
    return result


def settled(folder):
    """The files once the launcher's start-up has saved its settings and
    nothing changed for a moment."""
    first = snapshot(folder)
    if b"Bottom=" not in first["Nubotesa.ini"][0]:
        return None
    time.sleep(0.3)
    return first if snapshot(folder) == first else None


def start_and_wait_exit(wine_run, exe, folder):
    """Starts `exe` in `folder`, or a shortcut (a path ending in .lnk) through
    the shell as a double click or a shortcut key does, and waits for it."""
    shell = ["C:\\windows\\system32\\start.exe", "/wait", "/unix"] if exe.endswith(".lnk") else []
    proc = subprocess.Popen([wine_run] + shell + [exe], cwd=folder, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        return proc.wait(timeout=30)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise AssertionError("the second start in %s did not exit" % folder)


def panels(display, visible):
    return display.find_windows(PANEL_TITLE, visible=visible)


def main():
    exe, wine_run, build_dir = (os.path.abspath(a) for a in sys.argv[1:4])
    display = Display(session_display(build_dir))
    first_folder = make_folder(build_dir, exe, "a", startup=1)
    shortcut = startup_shortcut(build_dir)
    other_folder = make_folder(build_dir, exe, "b")
    running = []
    try:
        assert not panels(display, False), "a launcher window is left from an earlier test"
        running.append(Program(wine_run, exe, first_folder))
        wait_for("the first launcher's hidden panel", lambda: panels(display, False))
        before = wait_for("the first launcher's settings", lambda: settled(first_folder))
        assert not panels(display, True), "the first launcher did not start hidden"

        # Same folder: the running panel shows, the new process leaves with 0.
        code = start_and_wait_exit(wine_run, exe, first_folder)
        assert code == 0, "second start exit code %d" % code
        wait_for("the first launcher's panel shown", lambda: panels(display, True))
        assert len(panels(display, False)) == 1, "a second launcher runs in the same folder"
        assert running[0].proc.poll() is None, "the first launcher ended"
        after = snapshot(first_folder)
        for name in FILES:
            assert after[name] == before[name], "%s changed by the second start" % name

        # Another folder: a launcher of its own beside the first.
        running.append(Program(wine_run, exe, other_folder))
        wait_for("two launchers", lambda: len(panels(display, False)) == 2)
        assert running[1].proc.poll() is None, "the launcher in the other folder ended"

        # Killed outright, they leave their folders claimed by nobody. (A
        # close would save the settings once more; a kill does not.)
        before_kill = snapshot(first_folder)
        subprocess.run([wine_run, "C:\\windows\\system32\\taskkill.exe", "/f", "/im",
                        "NuboTesa.exe"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for program in running:
            program.proc.wait(timeout=20)
        wait_for("the killed launchers' windows gone", lambda: not panels(display, False))
        assert snapshot(first_folder) == before_kill, "the launcher was closed, not killed"
        running = [Program(wine_run, exe, first_folder)]
        wait_for("a launcher after the kill", lambda: panels(display, False))
        assert running[0].proc.poll() is None, "the start after the kill ended"
        wait_for("its Startup shortcut", lambda: os.path.exists(shortcut))
        assert not panels(display, True), "the start after the kill is not hidden"
        code = start_and_wait_exit(wine_run, shortcut, build_dir)
        wait_for("the panel shown by a start through the shortcut",
                 lambda: panels(display, True))
        assert code == 0 and len(panels(display, False)) == 1, \
            "after the kill: exit code %d, %d launchers" % (code, len(panels(display, False)))
        ini = os.path.join(first_folder, "Nubotesa.ini")
        subprocess.run(["chattr", "+i", ini], check=True)
        try:
            subprocess.Popen([wine_run, "C:\\windows\\system32\\taskkill.exe", "/im",
                              "NuboTesa.exe"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            box = wait_for("the exit's box", lambda: display.find_windows("ホコからの警告"))[0]
        finally:
            subprocess.run(["chattr", "-i", ini], check=True)
        running.append(Program(wine_run, exe, first_folder))
        wait_for("a start beside the box", lambda: panels(display, False), seconds=5)
        x, y, width, height = display.geometry(box)
        wait_for("the box answered", lambda: display.click(x + width // 2, y + height - 22)
                 or running[0].proc.poll() == 0, seconds=10, step=0.5)
        code = running[1].close(wine_run)
        assert code == 0, "exit code %d" % code
        running = []
        print("e2e instance: 1 passed, 0 failed")
    finally:
        for program in running:
            if program.proc.poll() is None:
                program.close(wine_run)
        if os.path.exists(shortcut):
            os.remove(shortcut)
        shutil.rmtree(first_folder, ignore_errors=True)
        shutil.rmtree(other_folder, ignore_errors=True)


if __name__ == "__main__":
    run("instance", main)
