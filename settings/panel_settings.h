// The launcher panel's user settings, loaded once from the settings file and
// written back as a whole.
#pragma once

#include <cstdint>

struct PanelSettings {
  std::int32_t TopMost;
  std::int32_t Small;
  std::int32_t Area;
  std::int32_t Startup;
  std::int32_t Bitmap;
  std::int32_t Line;
  char Wallpaper[260];
  char WallpaperWork[260];
  std::int32_t IconSize;
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Right;
  std::int32_t Bottom;
  std::int32_t CheckFlag;
  char SettingsPath[260];
  // 1 when the last save did not reach the file (0 after one that did).
  std::int32_t SaveFailed;

  // Names the settings file after the current directory and reads every key.
  void Load();
  // Writes every key, in the file's fixed order, into the file's text (other
  // lines stay as they are), and the whole text through a temporary file in
  // the same folder that then takes the settings file's place: a save that
  // breaks off leaves the old file. 1 when the file took the text.
  int Save();
  // The same, except that a file that already holds every value, as at a
  // start in the place the panel was left, is not written again: reading
  // costs less than writing.
  int SaveChanges();
};
