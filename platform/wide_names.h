// Names the shell gives in UTF-16, written in the ANSI code page that the item
// file and the ANSI functions use (932 for this program). Windows only.
#pragma once

#include <windows.h>

namespace platform {

// `name` exactly, in at most 259 bytes (out: 260 bytes); false when a
// character has no exact counterpart or the name does not fit.
bool ExactAnsiName(const wchar_t* name, char* out);

// `name` as it can be shown: each character the code page lacks becomes "〓"
// (the customary mark for a character that cannot be written), cut to 259
// bytes. For titles, never for paths.
void ShownAnsiName(const wchar_t* name, char* out);

// A path by which the ANSI functions find the file: the path itself when it
// can be written exactly, otherwise its short (8.3) form. False when the file
// system keeps no short name for it, or that one cannot be written either.
bool AnsiPathOf(const wchar_t* path, char* out);

// The short-name lookup of AnsiPathOf, GetShortPathNameW unless a test puts in
// one that finds nothing. Returns the lookup it replaces.
using ShortNameLookup = DWORD(WINAPI*)(LPCWSTR path, LPWSTR out, DWORD size);
ShortNameLookup SetShortNameLookup(ShortNameLookup lookup);

}  // namespace platform
