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

}  // namespace platform
