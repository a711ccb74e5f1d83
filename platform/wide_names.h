// The one text boundary of the program. Windows sees UTF-16; memory, the item
// file and the settings file keep code page 932. Every conversion between the
// two goes through here, always with code page 932 itself and never through
// the system code page, so the program reads and writes the same bytes on a
// Windows of any code page (1252, 65001, ...). Windows only.
#pragma once

#include <windows.h>

#include <cstddef>

namespace platform {

constexpr UINT kCp932 = 932;

// Units of the fixed buffer of WideText: enough for any path and for every
// text the program shows.
constexpr std::size_t kWideTextUnits = 1024;

// `text` (code page 932, zero-terminated) in UTF-16 in `out`, which holds
// `units` wide characters with the terminator. False, and `out` empty, when it
// does not fit. A byte that is no character of the code page becomes the
// code page's default character rather than failing the whole text.
bool WideOf(const char* text, wchar_t* out, std::size_t units);

// The UTF-16 form of a code-page-932 string for the length of one call:
//   MessageBoxW(owner, WideText(text).get(), WideText(caption).get(), MB_OK);
// A null `text` gives a null pointer, so that optional arguments stay optional.
class WideText {
 public:
  explicit WideText(const char* text);
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;
  const wchar_t* get() const { return null_ ? nullptr : text_; }
  // False when the text was longer than the buffer (it is then empty).
  bool ok() const { return ok_; }

 private:
  wchar_t text_[kWideTextUnits];
  bool null_;
  bool ok_;
};

// `text` exactly in code page 932, in at most outBytes - 1 bytes; false when a
// character has no exact counterpart (no best fit: ü never becomes u) or the
// text does not fit. `out` then holds nothing usable for a name.
bool Cp932Of(const wchar_t* text, char* out, std::size_t outBytes);

// `name` exactly, in at most 259 bytes (out: 260 bytes); false when a
// character has no exact counterpart or the name does not fit.
bool ExactCp932Name(const wchar_t* name, char* out);

// `name` as it can be shown: each character the code page lacks becomes "〓"
// (the customary mark for a character that cannot be written), cut to 259
// bytes. For titles, never for paths.
void ShownCp932Name(const wchar_t* name, char* out);

// A path by which the program finds the file: the path itself when it can be
// written exactly, otherwise its short (8.3) form. False when the file system
// keeps no short name for it, or that one cannot be written either.
bool Cp932PathOf(const wchar_t* path, char* out);

// Why Cp932PathOf refused `path`: every character can be written but the
// whole is too long; or a character the code page lacks is in the last name
// of the path (the file's own), or only in the names of the folders before it.
enum class NameFault { Length, FileName, FolderName };
NameFault Cp932NameFault(const wchar_t* path);

// The short-name lookup of Cp932PathOf, GetShortPathNameW unless a test puts
// in one that finds nothing. Returns the lookup it replaces.
using ShortNameLookup = DWORD(WINAPI*)(LPCWSTR path, LPWSTR out, DWORD size);
ShortNameLookup SetShortNameLookup(ShortNameLookup lookup);

}  // namespace platform
