// The settings command: the settings dialog, then everything a confirmed
// change may touch.
#include <cstring>

#include "panel/launcher_panel.h"
#include "settings/settings_dialog.h"

namespace {

const char kSettingsNotSaved[] =
    "設定を保存できませんでした。\n"
    "ディスクの空きが足りないか、Nubotesa.iniが他のソフトで使用中か、\n"
    "読み取り専用になっている可能性があります。";
const char kSettingsPathMissing[] =
    "設定ファイルの場所を決められないため、\n"
    "設定を保存できません。\n"
    "フォルダのパスが長すぎる可能性があります。\n"
    "短いパスのフォルダから起動し直してください。";

void ApplyStackingOrder(HWND window, std::int32_t topMost) {
  if (topMost != 0) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  // Windows drops the top-most state on HWND_BOTTOM; Wine keeps it unless it
  // is dropped first. Activation would lift the window to the top again.
  const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, flags);
}

}  // namespace

// Told once: a failure is not told again until a save has reached the file.
void LauncherPanel::WarnSettingsNotSaved() {
  if (settings.SaveFailed == 0) {
    settingsFailureTold_ = false;
    return;
  }
  if (settingsFailureTold_) return;
  settingsFailureTold_ = true;
  // Not shown while another warning is up: the next save that fails tells.
  settingsFailureTold_ =
      Warn(settings.SettingsPath[0] == '\0' ? kSettingsPathMissing : kSettingsNotSaved);
}

// What the user chose is applied also when the settings file did not take it;
// the user is told once everything shows.
void LauncherPanel::ChangeSettings() {
  const int confirmed = RunSettingsDialog(settings, instance, window);
  if (confirmed == 0) return;
  SetFocus(window);
  ApplyStackingOrder(window, settings.TopMost);
  // The records as the item file holds them now, every icon extracted again
  // (one that could not be read before may be there now), in batches.
  RebuildImageList();
  LookChanged();
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
  // Showing activates the window, which lifts it to the top: a panel kept
  // at the bottom goes back there.
  if (settings.TopMost == 0) ApplyStackingOrder(window, 0);
  WarnSettingsNotSaved();
}
