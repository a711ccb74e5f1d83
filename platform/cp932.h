// Helpers for byte strings in code page 932 (Shift-JIS).
#pragma once

#include <cstddef>

namespace platform {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The number of bytes of `text` (zero-terminated) to keep so that at most
// `maxBytes` remain and no double-byte character is split. A lead byte with no
// trail byte after it counts as one character of its own.
std::size_t Cp932CutLength(const char* text, std::size_t maxBytes);

// Copies at most `maxBytes` bytes of `text` into `out`, cut as above, followed
// by a terminator; `out` needs maxBytes + 1 bytes. Returns the bytes copied.
std::size_t Cp932CopyCut(char* out, const char* text, std::size_t maxBytes);

// Writes one character of UTF-16 text (one unit, or two for a surrogate pair;
// each unit in a wchar_t) into `out` (room for 2 bytes) and returns the bytes
// written: 0 when the code page has no such character (a best fit, such as u
// for ü, counts as none).
using Cp932CharWriter = std::size_t (*)(const wchar_t* units, std::size_t count, char* out);

// Writes zero-terminated UTF-16 `text` in code page 932 into `out` (maxBytes + 1
// bytes), character by character through `write`. Without a `replacement`,
// true only when every character was written and all of them fit; `out` is
// then the whole name. With one, a character the code page lacks becomes the
// replacement, and the text is cut before the first character that would not
// fit; the result says whether nothing was replaced or cut.
bool WriteCp932(const wchar_t* text, Cp932CharWriter write, char* out, std::size_t maxBytes,
                const char* replacement = nullptr);

}  // namespace platform
