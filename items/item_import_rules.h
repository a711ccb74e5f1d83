// The plain string rules of item import: the folder and the name of a path,
// which paths count as shell shortcuts, and the values an item gets from a
// dropped file or from what a shortcut holds. No window system here.
//
// Paths are zero-terminated code-page-932 strings. The scans walk characters,
// so the second byte of a double-byte character (0x5C in ソ, 表, 能, 十) is
// never taken for a backslash.
#pragma once

#include <cstddef>
#include <cstdint>

// The five values of an imported item; also what a shortcut yields.
struct ItemValues {
  char title[260];
  char target[260];
  char workDir[260];
  char iconFile[260];
  std::uint16_t iconIndex;
};
using ShortcutInfo = ItemValues;

// Empty strings and icon index 0.
void ClearItemValues(ItemValues* values);

// `source` up to its last backslash (C:\Tools\a.exe gives C:\Tools, C:\a.exe
// gives C:). A backslash in the first character does not count; without a
// backslash `out` is the whole source.
void FolderOf(const char* source, char* out);

// What follows the last backslash of `source` (C:\Tools\a.exe gives a.exe, a
// drive root C:\ gives ""). A backslash in the first character does not
// count; without a backslash `out` is left as it is.
void NameOf(const char* source, char* out);

// True when the last character is a backslash or a colon: a folder written
// with a trailing backslash, or a drive.
bool EndsWithSeparator(const char* path);

// True when the path ends in ".lnk", ".Lnk" or ".LNK" exactly; other mixes of
// case are ordinary files.
bool IsShortcutPath(const char* path);

// A program, document, folder or drive dropped as it is: the path is target and
// icon file (index 0), its folder the working folder, its name the title.
void PlainFileValues(const char* path, ItemValues* out);

// Fills what a shortcut left empty from its target: the title from the
// target's name, the working folder from its folder, the icon from the target
// itself or, for a folder or drive target, icon 8 of `systemDirectory`'s
// shell32.dll.
void CompleteShortcutValues(ItemValues* values, const char* systemDirectory);
