#include "platform/file.h"

#include <cstring>

namespace platform {

bool JoinPath(const char* dir, const char* name, char* out, std::size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  const std::size_t dirLen = std::strlen(dir);
  const std::size_t nameLen = std::strlen(name);
  const bool needsSeparator = dirLen == 0 || dir[dirLen - 1] != kPathSeparator;
  const std::size_t total = dirLen + (needsSeparator ? 1 : 0) + nameLen;
  if (total + 1 > size) return false;
  std::memcpy(out, dir, dirLen);
  std::size_t at = dirLen;
  if (needsSeparator) out[at++] = kPathSeparator;
  std::memcpy(out + at, name, nameLen + 1);
  return true;
}

}  // namespace platform
