#include "platform/cp932.h"

#include <cstring>

namespace platform {

std::size_t Cp932CutLength(const char* text, std::size_t maxBytes) {
  std::size_t at = 0;
  while (text[at] != '\0') {
    const bool pair = IsCp932LeadByte(static_cast<unsigned char>(text[at])) && text[at + 1] != '\0';
    const std::size_t width = pair ? 2 : 1;
    if (at + width > maxBytes) break;
    at += width;
  }
  return at;
}

std::size_t Cp932CopyCut(char* out, const char* text, std::size_t maxBytes) {
  const std::size_t n = Cp932CutLength(text, maxBytes);
  std::memcpy(out, text, n);
  out[n] = '\0';
  return n;
}

bool WriteCp932(const wchar_t* text, Cp932CharWriter write, char* out, std::size_t maxBytes,
                const char* replacement) {
  std::size_t used = 0;
  bool exact = true;
  out[0] = '\0';
  for (std::size_t at = 0; text[at] != L'\0';) {
    const bool pair = text[at] >= 0xD800 && text[at] <= 0xDBFF && text[at + 1] >= 0xDC00 &&
                      text[at + 1] <= 0xDFFF;
    const std::size_t count = pair ? 2 : 1;
    char bytes[2];
    std::size_t width = write(text + at, count, bytes);
    const char* written = bytes;
    if (width == 0) {
      if (replacement == nullptr) return false;
      exact = false;
      written = replacement;
      width = std::strlen(replacement);
    }
    if (used + width > maxBytes) {
      out[used] = '\0';
      return false;
    }
    std::memcpy(out + used, written, width);
    used += width;
    at += count;
  }
  out[used] = '\0';
  return exact;
}

}  // namespace platform
