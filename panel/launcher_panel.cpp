#include "panel/launcher_panel.h"

#include <shellapi.h>

#include <cstring>

#include "platform/com_use.h"
#include "platform/ui_text.h"

namespace {

const char kWelcomeText[] = "この度は【ぬぼてさぽん】のご使用、\nありがとうございます。";
const char kWelcomeCaption[] = "ほこらぎ工房より";
const char kWarningCaption[] = "ホコからの警告";
const char kStartupFolderUnwritable[] =
    "スタートアップフォルダの名前に、このソフトでは扱えない文字が含まれているため、"
    "スタートアップに登録できません。\n"
    "設定の「スタートアップに登録」を外すと、この表示は出なくなります。";
const COLORREF kBackgroundColour = RGB(158, 195, 255);

}  // namespace

LauncherPanel::LauncherPanel() {
  settings.Load();
  std::memset(&label, 0, sizeof label);
}

LauncherPanel::~LauncherPanel() {
  DestroyImageList();
  ReleaseComposed();
  FreeWallpaper();
  platform::ReleaseCom();
  BackgroundBrush.reset();
  label.Destroy();
  settings.Save();
  if (filesDone != nullptr) filesDone(filesDoneContext);
  window = nullptr;  // destroyed by now: the box stands alone
  WarnSettingsNotSaved();
}

int LauncherPanel::Initialize(HINSTANCE moduleInstance, HWND mainWindow) {
  instance = moduleInstance;
  window = mainWindow;
  label.instance = moduleInstance;
  label.owner = mainWindow;
  ComposeStartupPaths();
  ShowFirstTime();
  return 1;
}

void LauncherPanel::ShowFirstTime() {
  PlaceAtStart();
  SnapToGrid();
  if (settings.Bitmap == 1) {
    std::memcpy(settings.WallpaperWork, settings.Wallpaper, sizeof settings.WallpaperWork);
    if (!LoadWallpaper(settings.WallpaperWork)) {
      settings.Bitmap = 0;
      settings.Save();
    }
  }
  UpdateStartupShortcut();
  SetBackgroundBrush(CreateSolidBrush(kBackgroundColour));
  StartImageList();
  WarnSettingsNotSaved();
  if (settings.CheckFlag == 1) {
    Hidden = 1;
    FreeWallpaper();
    ShowWindow(window, SW_HIDE);
  } else {
    Hidden = 0;
    platform::ShowMessageBox(window, kWelcomeText, kWelcomeCaption, MB_OK);
    // A tray click while the greeting was up may have hidden the panel again.
    ShowWindow(window, Hidden == 1 ? SW_HIDE : SW_SHOW);
  }
}

void LauncherPanel::ToggleHidden() {
  if (Hidden == 1) {
    Hidden = 0;
    std::memcpy(settings.WallpaperWork, settings.Wallpaper, sizeof settings.WallpaperWork);
    LoadWallpaper(settings.WallpaperWork);
    WarnSettingsNotSaved();
    // A tray click while the loader's or the settings' box was up may have
    // hidden the panel again; it stays hidden then.
    if (Hidden == 1) return;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
  } else {
    Hidden = 1;
    FreeWallpaper();
    ShowWindow(window, SW_HIDE);
  }
}

bool LauncherPanel::Warn(const char* text, const char* caption) {
  if (warningOpen_) return false;
  warningOpen_ = true;
  // Without a window (at exit) the box has no owner to come up with: it
  // comes to the front and stays there (Wine makes a system-modal box
  // top-most, where it ignores MB_TOPMOST).
  const UINT front = window == nullptr ? MB_SETFOREGROUND | MB_TOPMOST | MB_SYSTEMMODAL : 0;
  platform::ShowMessageBox(window, text, caption ? caption : kWarningCaption, MB_OK | front);
  warningOpen_ = false;
  return true;
}

void LauncherPanel::EndMoveSize() {
  if (Resized == 1) {
    SnapToGrid();
  } else {
    ClampAndSave();
  }
  Resized = 0;
  WarnSettingsNotSaved();
}

void LauncherPanel::ComposeStartupPaths() {
  ::ComposeStartupPaths(&startup);
}

// A Startup folder the program cannot name gets no shortcut; the user is told
// each time one would be written.
int LauncherPanel::UpdateStartupShortcut() {
  if (startup.FolderUnwritable && settings.Startup != 0) Warn(kStartupFolderUnwritable);
  return ::UpdateStartupShortcut(startup, settings);
}

// The loader's error boxes run modal loops that may paint: the look moves on
// before and after.
int LauncherPanel::LoadWallpaper(const char* path) {
  LookChanged();
  const int loaded = ::LoadWallpaper(wallpaper, settings, window, path);
  LookChanged();
  return loaded;
}

void LauncherPanel::FreeWallpaper() {
  LookChanged();
  ::FreeWallpaper(wallpaper);
}

// A tray click during the first show's wallpaper error box can show the grid
// before the brush exists: it is painted again with the brush.
void LauncherPanel::SetBackgroundBrush(HBRUSH brush) {
  BackgroundBrush.reset(brush);
  LookChanged();
  if (window != nullptr && IsWindowVisible(window)) InvalidateRect(window, nullptr, FALSE);
}
