// The settings command: the settings dialog, then everything a confirmed
// change may touch.
#include <cstring>

#include "panel/launcher_panel.h"
#include "settings/settings_dialog.h"

void LauncherPanel::ChangeSettings() {
  if (RunSettingsDialog(settings, instance, window) != 1) return;
  SetFocus(window);
  const HWND order = settings.TopMost != 0 ? HWND_TOPMOST : HWND_BOTTOM;
  SetWindowPos(window, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RebuildImageList();  // the cell size may have changed
  SnapToGrid();
  UpdateStartupShortcut();
  if (settings.Bitmap == 1) {
    std::memcpy(settings.WallpaperWork, settings.Wallpaper, sizeof settings.WallpaperWork);
    LoadWallpaper(settings.WallpaperWork);
  } else {
    FreeWallpaper();
  }
  Hidden = 0;
  ShowWindow(window, SW_SHOW);
}
