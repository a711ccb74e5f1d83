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

}  // namespace platform
