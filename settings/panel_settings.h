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

  // Names the settings file after the current directory and reads every key.
  void Load();
  // Writes every key, in the file's fixed order; 1 when the file took every
  // one.
  int Save();
};
