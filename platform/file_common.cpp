#include "platform/file.h"

#include <algorithm>
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

namespace {

// Bytes that writes may still add to files; negative: no limit.
std::int64_t growthLeft = -1;
bool closesFail = false;

}  // namespace

void FailClosesForTesting(bool fail) {
  closesFail = fail;
}

bool ClosesFailForTesting() {
  return closesFail;
}

void LimitFileGrowthForTesting(std::int64_t bytes) {
  growthLeft = bytes;
}

std::size_t GrowthAllowed(std::uint64_t end, std::uint64_t offset, std::size_t size) {
  if (growthLeft < 0) return size;
  // Bytes inside the file overwrite what is there and need no room; so does
  // nothing else: a write past the end first fills the gap up to it.
  const std::uint64_t inside = offset >= end ? 0 : std::min<std::uint64_t>(size, end - offset);
  const std::uint64_t gap = offset > end ? offset - end : 0;
  const std::uint64_t wanted = size - inside + gap;
  if (wanted <= static_cast<std::uint64_t>(growthLeft)) {
    growthLeft -= static_cast<std::int64_t>(wanted);
    return size;
  }
  const std::uint64_t room = static_cast<std::uint64_t>(growthLeft);
  growthLeft = 0;
  // Whatever fits after the gap, if the gap itself fits.
  return static_cast<std::size_t>(inside + (room > gap ? room - gap : 0));
}

}  // namespace platform
