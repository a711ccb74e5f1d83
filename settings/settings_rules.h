// The rules of the settings file without the file itself: which keys exist, in
// which order they are read and written, their defaults, the text each field is
// written as, and the corrections applied to values the panel cannot work with.
// No window system here; the Win32 reader and writer sit in panel_settings.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/panel_settings.h"

namespace settings_rules {

constexpr char kFileName[] = "Nubotesa.ini";
constexpr char kDefaultWallpaper[] = "sample.bmp";

// Cell sizes the panel can draw: icons are (cell - 8) pixels square.
constexpr std::int32_t kMinCellSize = 24;
constexpr std::int32_t kMaxCellSize = 168;
// The largest width or height a window rectangle may have.
constexpr std::int64_t kMaxRectExtent = 32767;

constexpr std::int32_t kDefaultLeft = 78;
constexpr std::int32_t kDefaultTop = 143;
constexpr std::int32_t kDefaultRight = 342;
constexpr std::int32_t kDefaultBottom = 343;

enum class KeyKind {
  Integer,    // a field written as "%d"
  Wallpaper,  // the wallpaper path, written as it is
  RunMarker,  // CheckFlag: read like an integer, always written as "1"
};

struct Key {
  const char* section;
  const char* name;
  KeyKind kind;
  std::int32_t PanelSettings::*field;  // null for the wallpaper path
  std::int32_t defaultValue;           // integer keys only
};

// Every key of the file, in the order in which it is read and written.
inline constexpr Key kKeys[] = {
    {"Config", "TopMost", KeyKind::Integer, &PanelSettings::TopMost, 1},
    {"Config", "Small", KeyKind::Integer, &PanelSettings::Small, 1},
    {"Config", "Area", KeyKind::Integer, &PanelSettings::Area, 1},
    {"Config", "Startup", KeyKind::Integer, &PanelSettings::Startup, 1},
    {"Config", "Line", KeyKind::Integer, &PanelSettings::Line, 0},
    {"Config", "Bitmap", KeyKind::Integer, &PanelSettings::Bitmap, 1},
    {"Config", "IconSize", KeyKind::Integer, &PanelSettings::IconSize, 32},
    {"Config", "Wallpaper", KeyKind::Wallpaper, nullptr, 0},
    {"Rect", "Top", KeyKind::Integer, &PanelSettings::Top, kDefaultTop},
    {"Rect", "Bottom", KeyKind::Integer, &PanelSettings::Bottom, kDefaultBottom},
    {"Rect", "Left", KeyKind::Integer, &PanelSettings::Left, kDefaultLeft},
    {"Rect", "Right", KeyKind::Integer, &PanelSettings::Right, kDefaultRight},
    {"Check", "CheckFlag", KeyKind::RunMarker, &PanelSettings::CheckFlag, 0},
};

// Gives every key its default. WallpaperWork and SettingsPath are left alone.
void ApplyDefaults(PanelSettings* settings);

// The text to write for `key`: the decimal value of an integer field formatted
// into `buffer`, the wallpaper path itself, or "1" for the run marker.
const char* TextToWrite(const PanelSettings& settings, const Key& key, char* buffer,
                        std::size_t size);

// The cell size brought into kMinCellSize..kMaxCellSize.
std::int32_t ClampCellSize(std::int32_t cellSize);

// True for a rectangle with a positive width and height of at most
// kMaxRectExtent each. Negative coordinates are fine.
bool IsUsableRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// Corrects what was read and cannot be used: the cell size is clamped, an
// unusable rectangle becomes the default one. Everything else stays as read.
void GuardLoaded(PanelSettings* settings);

// `dir` followed by a backslash and `name` into `out` (`size` bytes with the
// terminator). The backslash is left out when `dir` already ends in one (a
// drive root); a 0x5C trail byte of a double-byte character does not count.
// Returns false, leaving `out` empty, when `dir` is empty or the result does
// not fit.
bool AppendFileName(const char* dir, const char* name, char* out, std::size_t size);

}  // namespace settings_rules
