// What the settings dialog accepts, without the window system: the icon size
// the user types (the cell size less the 8-pixel margin), its range, and the
// two-byte mark that a wallpaper file must start with.
#pragma once

#include <cstddef>
#include <cstdint>

namespace settings_dialog_rules {

// A cell is its icon plus 4 pixels on each side.
constexpr std::uint32_t kCellMargin = 8;
// The icon sizes the dialog accepts, as its label says: "( 16 ～ 160 )".
constexpr std::uint32_t kMinIconSize = 16;
constexpr std::uint32_t kMaxIconSize = 160;

// The icon size the dialog shows for a cell size (cell size - 8).
std::uint32_t IconSizeForCell(std::int32_t cellSize);

// The icon-size field read as an unsigned decimal number. Spaces around the
// digits are allowed; an empty field, any other character, or a number too
// large for 32 bits reads as 0 (which is out of range).
std::uint32_t ReadIconSize(const char* text);

// The cell size for an entered icon size: true with `cellSize` = icon + 8 when
// the icon size is 16 to 160, false (and `cellSize` untouched) otherwise.
bool CellSizeFor(std::uint32_t iconSize, std::int32_t* cellSize);

// True when the first two of the `size` bytes are "BM".
bool HasBitmapMark(const unsigned char* bytes, std::size_t size);

}  // namespace settings_dialog_rules
