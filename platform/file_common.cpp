#include "platform/file.h"

#include <cstring>

#include "platform/cp932.h"

namespace platform {

bool JoinPath(const char* dir, const char* name, char* out, std::size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  const std::size_t dirLen = std::strlen(dir);
  const std::size_t nameLen = std::strlen(name);
  // Walk characters, not bytes: the trail byte of a double-byte character
  // (ソ, 表, 十) can have the value of a backslash.
  bool endsWithSeparator = false;
  for (std::size_t i = 0; i < dirLen;) {
    const bool pair = IsCp932LeadByte(static_cast<unsigned char>(dir[i])) && i + 1 < dirLen;
    endsWithSeparator = !pair && dir[i] == kPathSeparator;
    i += pair ? 2 : 1;
  }
  const bool needsSeparator = !endsWithSeparator;
  const std::size_t total = dirLen + (needsSeparator ? 1 : 0) + nameLen;
  if (total + 1 > size) return false;
  std::memcpy(out, dir, dirLen);
  std::size_t at = dirLen;
  if (needsSeparator) out[at++] = kPathSeparator;
  std::memcpy(out + at, name, nameLen + 1);
  return true;
}

}  // namespace platform
