"""Driving a Windows program on the test display from outside: X window
lookups, real input through xdotool, screenshots through ImageMagick."""

import os
import subprocess
import sys
import time


class Timeout(AssertionError):
    pass


def wait_for(what, predicate, seconds=20.0, step=0.05, on_timeout=None):
    """Polls `predicate` until it returns something true, or fails after
    `seconds` naming `what` (and what `on_timeout` returns, if given)."""
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout("timed out after %.0f s waiting for %s%s" % (
                seconds, what, "; " + on_timeout() if on_timeout else ""))
        time.sleep(step)


def attempt(check, *args):
    """Runs a check made of assertions as a wait_for predicate: its value, or
    None while it fails (the last failure is kept for the report)."""
    try:
        return check(*args)
    except AssertionError as e:
        attempt.last = e
        return None


def run(name, main):
    """Runs a test's main and reports it the way the suite reads: a failed
    assertion (and the last failed check) and exit code 1."""
    try:
        main()
    except AssertionError as e:
        print("e2e %s: FAILED: %s" % (name, e))
        if getattr(attempt, "last", None):
            print("last check: %s" % attempt.last)
        sys.exit(1)


class Display:
    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=display)

    def xdotool(self, *args):
        out = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                             capture_output=True, text=True)
        return out.stdout.strip() if out.returncode == 0 else ""

    def find_windows(self, name, visible=True):
        args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", "^%s$" % name]
        out = self.xdotool(*args)
        return [int(w) for w in out.split()] if out else []

    def describe(self):
        """The names of the visible windows, for a failure message."""
        out = self.xdotool("search", "--onlyvisible", "--name", ".")
        names = [self.xdotool("getwindowname", w) for w in out.split()] if out else []
        return "visible windows: " + (", ".join(repr(n) for n in names if n) or "none")

    def geometry(self, window):
        """(x, y, width, height) of an X window, which Wine makes the Win32
        window rectangle."""
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y)
        time.sleep(0.05)
        self.xdotool("click", button)

    def screenshot(self, path=None):
        """The whole screen as rows of (r, g, b); also saved to `path`."""
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                             env=self.env, capture_output=True, check=True).stdout
        if path:
            subprocess.run(["convert", "ppm:-", path], input=ppm, env=self.env, check=True)
        return Image(ppm)


class Image:
    def __init__(self, ppm):
        # Binary PPM: "P6\n<w> <h>\n<max>\n" then RGB bytes.
        parts = ppm.split(b"\n", 3)
        assert parts[0] == b"P6", parts[0]
        self.width, self.height = (int(v) for v in parts[1].split())
        self.data = parts[3]

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.data[at:at + 3])
