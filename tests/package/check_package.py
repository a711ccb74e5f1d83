#!/usr/bin/env python3
"""Checks what users download: each zip of dist/ holds exactly the program,
the sample wallpaper and the two read-me files; the program is stripped,
needs no DLL of the compiler, is small enough and carries its version
information (language 1041) as Explorer reads it.

Usage: check_package.py DIST_DIR SOURCE_DIR   (checks the two zips)
       check_package.py --exe NUBOTESA_EXE      (checks one program's version)"""

import os
import struct
import sys
import zipfile

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
MACHINES = {"win64": 0x8664, "win32": 0x14C}
MAX_WIN64_SIZE = 250 * 1024
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
    with open(os.path.join(source_dir, "resources", "sample.bmp"), "rb") as f:
        check(label + " sample.bmp is the project's", True, files.get("sample.bmp") == f.read())
    for name, encoding in (("ReadMe.txt", "ascii"), ("ReadMe-ja.txt", "cp932")):
        text = files.get(name, b"").decode(encoding)
        check("%s %s names both files and the program, CR LF lines" % (label, name),
              (True, True, True, False),
              ("NuboInfo.Dat" in text, "Nubotesa.ini" in text, "NuboTesa.Exe" in text,
               "\n" in text.replace("\r\n", "")))


def main(argv):
    if len(argv) == 3 and argv[1] == "--exe":
        with open(argv[2], "rb") as f:
            check_version(Pe(f.read()), os.path.basename(argv[2]))
    elif len(argv) == 3:
        for arch in MACHINES:
            check_zip(os.path.join(argv[1], "NuboTesa-3.1-%s.zip" % arch), arch, argv[2])
    else:
        print(__doc__)
        return 2
    for failure in failures:
        print("FAIL " + failure)
    print("package checks: %d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
