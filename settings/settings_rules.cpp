#include "settings/settings_rules.h"

#include <cstdio>
#include <cstring>

#include "platform/cp932.h"

namespace settings_rules {

namespace {

// True when the last character of `text` is a single-byte backslash. The
// string is walked character by character so that the trail byte of a
// double-byte character (ソ, 表, 十 end in 0x5C) is not mistaken for one.
bool EndsWithBackslash(const char* text) {
  bool backslash = false;
  for (std::size_t at = 0; text[at] != '\0';) {
    const bool pair =
        platform::IsCp932LeadByte(static_cast<unsigned char>(text[at])) && text[at + 1] != '\0';
    backslash = !pair && text[at] == '\\';
    at += pair ? 2 : 1;
  }
  return backslash;
}

}  // namespace

void ApplyDefaults(PanelSettings* settings) {
  for (const Key& key : kKeys) {
    if (key.field != nullptr) settings->*key.field = key.defaultValue;
  }
  std::memcpy(settings->Wallpaper, kDefaultWallpaper, sizeof kDefaultWallpaper);
}

const char* TextToWrite(const PanelSettings& settings, const Key& key, char* buffer,
                        std::size_t size) {
  switch (key.kind) {
    case KeyKind::Wallpaper:
      return settings.Wallpaper;
    case KeyKind::RunMarker:
      return "1";
    case KeyKind::Integer:
      break;
  }
  std::snprintf(buffer, size, "%d", static_cast<int>(settings.*key.field));
  return buffer;
}

std::int32_t ClampCellSize(std::int32_t cellSize) {
  if (cellSize < kMinCellSize) return kMinCellSize;
  if (cellSize > kMaxCellSize) return kMaxCellSize;
  return cellSize;
}

bool IsUsableRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  // Widened first: the difference of two 32-bit values may not fit in 32 bits.
  const std::int64_t width = std::int64_t{right} - left;
  const std::int64_t height = std::int64_t{bottom} - top;
  return width > 0 && height > 0 && width <= kMaxRectExtent && height <= kMaxRectExtent;
}

void GuardLoaded(PanelSettings* settings) {
  settings->IconSize = ClampCellSize(settings->IconSize);
  if (!IsUsableRect(settings->Left, settings->Top, settings->Right, settings->Bottom)) {
    settings->Left = kDefaultLeft;
    settings->Top = kDefaultTop;
    settings->Right = kDefaultRight;
    settings->Bottom = kDefaultBottom;
  }
}

bool AppendFileName(const char* dir, const char* name, char* out, std::size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  const std::size_t dirLen = std::strlen(dir);
  if (dirLen == 0) return false;
  const std::size_t separator = EndsWithBackslash(dir) ? 0 : 1;
  const std::size_t nameLen = std::strlen(name);
  if (dirLen + separator + nameLen + 1 > size) return false;
  std::memcpy(out, dir, dirLen);
  if (separator != 0) out[dirLen] = '\\';
  std::memcpy(out + dirLen + separator, name, nameLen + 1);
  return true;
}

}  // namespace settings_rules
