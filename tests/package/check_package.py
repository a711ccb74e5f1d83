#!/usr/bin/env python3
"""Checks what users download: each zip of dist/ holds exactly the program,
the sample wallpaper and the two read-me files; the program is stripped,
needs no DLL of the compiler, is small enough and carries its version
information (language 1041) as Explorer reads it and its manifest.
Given the win64 build folder (for its Wine prefix), it also starts each zipped
program as a user would, unzipped into a fresh folder that is its current
directory: the greeting shows (and is answered), the sample wallpaper loads
without the error box, the settings file and the Startup shortcut are written
and the program ends with 0 on WM_CLOSE. Then scripts/package runs again on a
copy of the sources in another folder and must give byte-identical zips.

Usage: check_package.py DIST_DIR SOURCE_DIR [WIN64_BUILD_DIR]  (checks the zips)
       check_package.py --exe NUBOTESA_EXE      (checks one program's version and manifest)"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from desktop import Display, wait_for  # noqa: E402
from test_start import (PANEL_TITLE, WELCOME_CAPTION, Program, read_settings,  # noqa: E402
                        session_display, startup_shortcut, wait_for_welcome)

PRODUCT = "ぬぼてさぽん ＸＰ Ver 3.1"
EXPECTED_STRINGS = {
    "FileDescription": PRODUCT,
    "ProductName": PRODUCT,
    "FileVersion": "3.1",
    "ProductVersion": "3.1",
    "OriginalFilename": "NuboTesa.Exe",
}
JAPANESE = 1041
RT_VERSION = 16
RT_MANIFEST = 24
MACHINES = {"win64": 0x8664, "win32": 0x14C}
MAX_WIN64_SIZE = 266240
COMPILER_DLLS = ("libstdc++", "libgcc", "libwinpthread")
ZIP_FILES = ["NuboTesa.Exe", "sample.bmp", "ReadMe.txt", "ReadMe-ja.txt"]

failures = []


def check(what, expected, actual):
    if expected != actual:
        failures.append("%s: expected %r, got %r" % (what, expected, actual))


class Pe:
    """The parts of a PE file that the checks read."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        (self.machine, sections, _, self.symbol_table, _, optional_size,
         _) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        directories = opt + (112 if magic == 0x20B else 96)
        self.directory = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(3)]
        self.sections = []
        for i in range(sections):
            s = opt + optional_size + 40 * i
            vsize, vaddr, raw_size, raw_at = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((vaddr, max(vsize, raw_size), raw_at))

    def offset(self, rva):
        for vaddr, size, raw_at in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raw_at
        raise ValueError("RVA %#x outside every section" % rva)

    def c_string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        rva, _ = self.directory[1]
        names, at = [], self.offset(rva)
        while True:
            entry = struct.unpack_from("<5I", self.data, at)
            if not any(entry):
                return names
            names.append(self.c_string(entry[3]).lower())
            at += 20

    def resources(self):
        """[(type, name, language, bytes)] for resources named by numbers."""
        base = self.offset(self.directory[2][0])
        found = []

        def walk(at, path):
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                here = path + [ident]
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), here)
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    start = self.offset(rva)
                    found.append((*here, self.data[start:start + size]))
        walk(base, [])
        return found


def version_nodes(data, at=0):
    """One VS_VERSIONINFO-style node: (key, value bytes, is_text, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_at = at + 6
    key_end = key_at
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_at:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if kind == 1 else value_length
    value = data[value_at:value_at + value_size]
    children, child = [], (value_at + value_size + 3) & ~3
    while child < end:
        node, child_length = version_nodes(data, child)
        children.append(node)
        child = (child + child_length + 3) & ~3
    return (key, value, kind == 1, children), length


def check_version(pe, label):
    versions = [r for r in pe.resources() if r[0] == RT_VERSION]
    check(label + " version resources (name, language)", [(1, JAPANESE)],
          [(r[1], r[2]) for r in versions])
    if not versions:
        return
    (key, fixed, _, children), _ = version_nodes(versions[0][3])
    check(label + " root key", "VS_VERSION_INFO", key)
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    check(label + " fixed info signature", 0xFEEF04BD, signature)
    check(label + " file and product version", [(3, 1, 0, 0)] * 2,
          [(ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
           for ms, ls in ((file_ms, file_ls), (product_ms, product_ls))])
    blocks = {c[0]: c for c in children}
    tables = blocks.get("StringFileInfo", ("", b"", False, []))[3]
    check(label + " string tables", ["041103A4"], [t[0].upper() for t in tables])
    strings = {s[0]: s[1].decode("utf-16-le").rstrip("\0") for t in tables for s in t[3]}
    for name, expected in EXPECTED_STRINGS.items():
        check("%s string %s" % (label, name), expected, strings.get(name))
    translations = [struct.unpack("<HH", v[1]) for v in blocks.get("VarFileInfo", ("", b"", 0, []))[3]]
    check(label + " translation (language, code page)", [(0x411, 932)], translations)


def check_manifest(pe, label):
    text = b"".join(r[3] for r in pe.resources() if r[:2] == (RT_MANIFEST, 1)).decode("utf-8")
    check(label + " manifest: asInvoker, 4 systems, common controls 6, no DPI, no code page",
          (True, 4, True, False, False), ('"asInvoker"' in text, text.count("<supportedOS "),
           'Common-Controls" version="6.0.0.0"' in text, "dpiAware" in text, "CodePage" in text))


def check_zip(path, arch, source_dir):
    label = os.path.basename(path)
    with zipfile.ZipFile(path) as z:
        check(label + " files", ZIP_FILES, z.namelist())
        files = {name: z.read(name) for name in z.namelist()}
    exe = files.get("NuboTesa.Exe")
    if exe is None:
        return
    pe = Pe(exe)
    check(label + " machine", MACHINES[arch], pe.machine)
    check(label + " subsystem (2 = windows)", 2, pe.subsystem)
    check(label + " symbol table (0 = stripped)", 0, pe.symbol_table)
    check(label + " compiler DLLs imported", [],
          [d for d in pe.imports() if d.startswith(COMPILER_DLLS)])
    if arch == "win64" and len(exe) > MAX_WIN64_SIZE:
        failures.append("%s NuboTesa.Exe: %d bytes, more than %d" % (label, len(exe), MAX_WIN64_SIZE))
    print("%s: NuboTesa.Exe %d bytes" % (label, len(exe)))
    check_version(pe, label)
    check_manifest(pe, label)
    with open(os.path.join(source_dir, "resources", "sample.bmp"), "rb") as f:
        check(label + " sample.bmp is the project's", True, files.get("sample.bmp") == f.read())
    for name, encoding in (("ReadMe.txt", "ascii"), ("ReadMe-ja.txt", "cp932")):
        text = files.get(name, b"").decode(encoding)
        check("%s %s names both files and the program, CR LF lines" % (label, name),
              (True, True, True, False),
              ("NuboInfo.Dat" in text, "Nubotesa.ini" in text, "NuboTesa.Exe" in text,
               "\n" in text.replace("\r\n", "")))


def check_first_start(zip_path, source_dir, session):
    """The zipped program's first start in a fresh folder, as a user's."""
    label = os.path.basename(zip_path)
    wine_run = os.path.join(source_dir, "tests", "wine", "wine-run")
    folder = tempfile.mkdtemp(prefix="first-start-", dir=session)
    link = startup_shortcut(session)
    try:
        with zipfile.ZipFile(zip_path) as z:
            z.extractall(folder)
        display = Display(session_display(session))
        program = Program(wine_run, os.path.join(folder, "NuboTesa.Exe"), folder)
        x, y, width, height = display.geometry(wait_for_welcome(display))

        def answered():  # a click on OK (the first may only activate the box)
            display.click(x + width // 2, y + height - 24)
            return not display.find_windows(WELCOME_CAPTION)
        wait_for(label + " greeting answered", answered, step=0.5)
        wait_for(label + " panel", lambda: display.find_windows(PANEL_TITLE),
                 on_timeout=display.describe)
        check(label + " error boxes", [], display.find_windows("Error"))
        settings = read_settings(folder)
        check(label + " settings written (wallpaper, rectangle)", ("1", "sample.bmp", True),
              (settings.get("Bitmap"), os.path.basename(settings.get("Wallpaper", "")),
               "Bottom" in settings))
        check(label + " Startup shortcut", True, os.path.exists(link))
        check(label + " exit code", 0, program.close(wine_run))
    except AssertionError as e:
        failures.append("%s first start: %s" % (label, e))
    finally:
        if os.path.exists(link):
            os.remove(link)
        shutil.rmtree(folder, ignore_errors=True)


def check_reproducible(dist_dir, source_dir):
    """scripts/package on a copy of the sources (the committed files and the
    changes beside them) in another folder gives the same zips."""
    git = lambda *args: subprocess.run(["git", "-C", source_dir] + list(args),  # noqa: E731
                                       capture_output=True, text=True).stdout
    names = git("ls-files", "-z", "--cached", "--others", "--exclude-standard").split("\0")
    with tempfile.TemporaryDirectory(prefix="nubo-package-copy-") as copy:
        for name in names:
            if name and os.path.isfile(os.path.join(source_dir, name)):
                os.makedirs(os.path.dirname(os.path.join(copy, name)), exist_ok=True)
                shutil.copy2(os.path.join(source_dir, name), os.path.join(copy, name))
        env = dict(os.environ, SOURCE_DATE_EPOCH=git("log", "-1", "--format=%ct").strip())
        run = subprocess.run(["bash", "scripts/package"], cwd=copy, env=env,
                             capture_output=True, text=True)
        check("package run in " + copy, 0, run.returncode)
        for arch in MACHINES:
            name = "NuboTesa-3.1-%s.zip" % arch
            zips = [os.path.join(d, name) for d in (dist_dir, os.path.join(copy, "dist"))]
            first, again = (open(z, "rb").read() if os.path.exists(z) else b"" for z in zips)
            check(name + " byte-identical from another folder", True, first == again)


def main(argv):
    if len(argv) == 3 and argv[1] == "--exe":
        with open(argv[2], "rb") as f:
            pe = Pe(f.read())
        check_version(pe, os.path.basename(argv[2]))
        check_manifest(pe, os.path.basename(argv[2]))
    elif len(argv) in (3, 4):
        argv = [os.path.abspath(a) for a in argv]
        zips = [os.path.join(argv[1], "NuboTesa-3.1-%s.zip" % arch) for arch in MACHINES]
        for zip_path, arch in zip(zips, MACHINES):
            check_zip(zip_path, arch, argv[2])
        if len(argv) == 4:
            session = os.path.join(argv[3], "sessions", "package")  # on the build's prefix
            os.makedirs(os.path.join(argv[3], "wineprefix"), exist_ok=True)
            os.makedirs(session, exist_ok=True)
            if not os.path.islink(os.path.join(session, "wineprefix")):
                os.symlink(os.path.join(argv[3], "wineprefix"), os.path.join(session, "wineprefix"))
            os.environ["NUBO_WINE_ROOT"] = session
            session_script = os.path.join(argv[2], "tests", "wine", "wine-session")
            subprocess.run([session_script, "start", session], check=True)
            try:
                for zip_path in zips:
                    check_first_start(zip_path, argv[2], session)
            finally:
                subprocess.run([session_script, "stop", session])
            check_reproducible(argv[1], argv[2])
    else:
        print(__doc__)
        return 2
    for failure in failures:
        print("FAIL " + failure)
    print("package checks: %d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
