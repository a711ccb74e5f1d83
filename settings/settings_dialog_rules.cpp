#include "settings/settings_dialog_rules.h"

namespace settings_dialog_rules {

std::uint32_t IconSizeForCell(std::int32_t cellSize) {
  return static_cast<std::uint32_t>(cellSize) - kCellMargin;
}

std::uint32_t ReadIconSize(const char* text) {
  std::size_t at = 0;
  while (text[at] == ' ') ++at;
  std::uint64_t value = 0;
  std::size_t digits = 0;
  for (; text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
    value = value * 10 + static_cast<std::uint64_t>(text[at] - '0');
    if (value > UINT32_MAX) return 0;
  }
  while (text[at] == ' ') ++at;
  if (digits == 0 || text[at] != '\0') return 0;
  return static_cast<std::uint32_t>(value);
}

bool CellSizeFor(std::uint32_t iconSize, std::int32_t* cellSize) {
  // Checked before the margin is added, so that no sum can wrap round.
  if (iconSize < kMinIconSize || iconSize > kMaxIconSize) return false;
  *cellSize = static_cast<std::int32_t>(iconSize + kCellMargin);
  return true;
}

bool HasBitmapMark(const unsigned char* bytes, std::size_t size) {
  return size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

}  // namespace settings_dialog_rules
