// Drops, launching and the item commands of the context menu.
#include "panel/launcher_panel.h"

#include <shellapi.h>

#include "panel/grid_geometry.h"

void LauncherPanel::DropFile(const char*, std::uint32_t, std::uint32_t) {}

// Starts the item of a cell in its working folder. With minimise-after-launch
// on, the panel is hidden first, so that the started program comes up over
// the desktop rather than under the panel. The shell's answer is not reported.
void LauncherPanel::LaunchAt(std::int32_t key) {
  int iconIndex = 0;
  char title[260], target[260], workDir[260], iconFile[260];
  if (!items.GetFields(key, &iconIndex, title, target, workDir, iconFile)) return;
  if (settings.Small == 1) {
    Hidden = 1;
    FreeWallpaper();
    ShowWindow(window, SW_HIDE);
  }
  ShellExecuteA(nullptr, "open", target, nullptr, workDir, SW_SHOW);
}

void LauncherPanel::EditContextItem() {
  ContextKey = -1;
}

void LauncherPanel::DeleteContextItem() {
  ContextKey = -1;
}
