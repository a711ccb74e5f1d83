#include "platform/wide_names.h"

#include "platform/cp932.h"

namespace platform {
namespace {

constexpr std::size_t kMaxName = 259;  // bytes of a 260-byte buffer before the terminator
ShortNameLookup shortNameLookup = GetShortPathNameW;

// No best fit: a character that would come back as another one is none.
std::size_t WriteCp932Char(const wchar_t* units, std::size_t count, char* out) {
  BOOL usedDefault = FALSE;
  const int written = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, units,
                                          static_cast<int>(count), out, 2, nullptr, &usedDefault);
  return written > 0 && !usedDefault ? static_cast<std::size_t>(written) : 0;
}

}  // namespace

bool WideOf(const char* text, wchar_t* out, std::size_t units) {
  if (units == 0) return false;
  const int written = MultiByteToWideChar(kCp932, 0, text, -1, out, static_cast<int>(units));
  if (written > 0) return true;
  out[0] = L'\0';
  return false;
}

WideText::WideText(const char* text) : text_{}, null_(text == nullptr), ok_(true) {
  if (!null_) ok_ = WideOf(text, text_, kWideTextUnits);
}

bool Cp932Of(const wchar_t* text, char* out, std::size_t outBytes) {
  if (outBytes == 0) return false;
  return WriteCp932(text, WriteCp932Char, out, outBytes - 1);
}

bool ExactCp932Name(const wchar_t* name, char* out) {
  return Cp932Of(name, out, kMaxName + 1);
}

void ShownCp932Name(const wchar_t* name, char* out) {
  WriteCp932(name, WriteCp932Char, out, kMaxName, "〓");
}

bool Cp932PathOf(const wchar_t* path, char* out) {
  if (ExactCp932Name(path, out)) return true;
  wchar_t shortPath[MAX_PATH];
  const DWORD length = shortNameLookup(path, shortPath, MAX_PATH);
  out[0] = '\0';
  return length != 0 && length < MAX_PATH && ExactCp932Name(shortPath, out);
}

NameFault Cp932NameFault(const wchar_t* path) {
  bool inFolder = false, inName = false;
  for (std::size_t i = 0; path[i] != L'\0';) {
    const std::size_t units = IS_HIGH_SURROGATE(path[i]) && IS_LOW_SURROGATE(path[i + 1]) ? 2 : 1;
    char bytes[2];
    if (path[i] == L'\\') {
      inFolder = inFolder || inName;
      inName = false;
    } else if (WriteCp932Char(path + i, units, bytes) == 0) {
      inName = true;
    }
    i += units;
  }
  if (inName) return NameFault::FileName;
  return inFolder ? NameFault::FolderName : NameFault::Length;
}

ShortNameLookup SetShortNameLookup(ShortNameLookup lookup) {
  const ShortNameLookup previous = shortNameLookup;
  shortNameLookup = lookup != nullptr ? lookup : GetShortPathNameW;
  return previous;
}

}  // namespace platform
