#include "platform/wide_names.h"

#include "platform/cp932.h"

namespace platform {
namespace {

constexpr std::size_t kMaxName = 259;  // bytes of a 260-byte buffer before the terminator
ShortNameLookup shortNameLookup = GetShortPathNameW;

// No best fit: a character that would come back as another one is none.
std::size_t WriteAnsiChar(const wchar_t* units, std::size_t count, char* out) {
  BOOL usedDefault = FALSE;
  const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units,
                                          static_cast<int>(count), out, 2, nullptr, &usedDefault);
  return written > 0 && !usedDefault ? static_cast<std::size_t>(written) : 0;
}

}  // namespace

bool ExactAnsiName(const wchar_t* name, char* out) {
  return WriteCp932(name, WriteAnsiChar, out, kMaxName);
}

void ShownAnsiName(const wchar_t* name, char* out) {
  WriteCp932(name, WriteAnsiChar, out, kMaxName, "〓");
}

bool AnsiPathOf(const wchar_t* path, char* out) {
  if (ExactAnsiName(path, out)) return true;
  wchar_t shortPath[MAX_PATH];
  const DWORD length = shortNameLookup(path, shortPath, MAX_PATH);
  out[0] = '\0';
  return length != 0 && length < MAX_PATH && ExactAnsiName(shortPath, out);
}

ShortNameLookup SetShortNameLookup(ShortNameLookup lookup) {
  const ShortNameLookup previous = shortNameLookup;
  shortNameLookup = lookup != nullptr ? lookup : GetShortPathNameW;
  return previous;
}

}  // namespace platform
