// The settings dialog (resource 103): edits a working copy of the panel's
// settings; only OK copies it back and saves the settings file.
#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/panel_settings.h"

// The working copy the dialog edits.
struct SettingsDialogState {
  std::int32_t TopMost;
  std::int32_t Small;
  std::int32_t Area;
  std::int32_t Startup;
  std::int32_t Bitmap;
  std::int32_t Line;
  char Wallpaper[260];
  // The cell size on entry; the icon size (cell - 8) while the dialog runs;
  // the new cell size after a successful OK.
  std::uint32_t IconSize;
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Right;
  std::int32_t Bottom;
  HWND dialog;  // owner of every message box the dialog shows
};

// Runs the dialog over `owner`. On OK copies the working copy back into
// `settings` (not WallpaperWork, CheckFlag or SettingsPath), saves the
// settings file and returns 1, or 2 when the file did not take them; returns
// 0 on Cancel, Escape, or when the dialog cannot be created, leaving
// `settings` untouched.
int RunSettingsDialog(PanelSettings& settings, HINSTANCE instance, HWND owner);

// The dialog procedure. Each dialog reaches its own working copy, passed as
// the creation parameter by RunSettingsDialog.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// 1 when the file at `path` can be opened for reading alone and starts with
// "BM"; 0 otherwise.
int IsBmpFile(const char* path);
