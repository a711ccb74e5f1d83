#include "panel/launcher_panel.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>

#include "panel/cursor_table.h"

namespace {

const char kWelcomeText[] = "この度は【ぬぼてさぽん】のご使用、\nありがとうございます。";
const char kWelcomeCaption[] = "ほこらぎ工房より";
const COLORREF kBackgroundColour = RGB(158, 195, 255);

// A fully transparent icon for records whose icon cannot be obtained, so that
// image i still shows record i.
HICON CreateTransparentIcon(int size) {
  // Monochrome masks, rows padded to 16 bits; cells are at most 168 pixels.
  static BYTE andMask[22 * 168];
  static BYTE xorMask[22 * 168];
  if (size < 1 || size > 168) return nullptr;
  std::memset(andMask, 0xFF, sizeof andMask);
  std::memset(xorMask, 0x00, sizeof xorMask);
  return CreateIcon(nullptr, size, size, 1, 1, andMask, xorMask);
}

}  // namespace

LauncherPanel::LauncherPanel() {
  settings.Load();
  std::memset(&label, 0, sizeof label);
  comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
}

LauncherPanel::~LauncherPanel() {
  DestroyImageList();
  FreeWallpaper();
  if (comInitialized_) CoUninitialize();
  BackgroundBrush.reset();
  label.Destroy();
  settings.Save();
}

int LauncherPanel::Initialize(HINSTANCE moduleInstance, HWND mainWindow) {
  instance = moduleInstance;
  window = mainWindow;
  label.instance = moduleInstance;
  label.owner = mainWindow;
  label.window = label.Create("NuboToolTip");
  if (label.window == nullptr) return 0;
  LoadPanelCursors(moduleInstance);
  ComposeStartupPaths();
  ShowFirstTime();
  return 1;
}

void LauncherPanel::ShowFirstTime() {
  const HWND order = settings.TopMost != 0 ? HWND_TOPMOST : HWND_BOTTOM;
  SetWindowPos(window, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  MoveWindow(window, settings.Left, settings.Top, settings.Right - settings.Left,
             settings.Bottom - settings.Top, TRUE);
  SnapToGrid();
  if (settings.Bitmap == 1) {
    std::memcpy(settings.WallpaperWork, settings.Wallpaper, sizeof settings.WallpaperWork);
    if (!LoadWallpaper(settings.WallpaperWork)) {
      settings.Bitmap = 0;
      settings.Save();
    }
  }
  UpdateStartupShortcut();
  BackgroundBrush.reset(CreateSolidBrush(kBackgroundColour));
  InitCommonControls();
  RebuildImageList();
  if (settings.CheckFlag == 1) {
    Hidden = 1;
    FreeWallpaper();
    ShowWindow(window, SW_HIDE);
  } else {
    Hidden = 0;
    MessageBoxA(window, kWelcomeText, kWelcomeCaption, MB_OK);
    // A tray click while the greeting was up may have hidden the panel again.
    ShowWindow(window, Hidden == 1 ? SW_HIDE : SW_SHOW);
  }
}

void LauncherPanel::RebuildImageList() {
  DestroyImageList();
  const int iconSize = CellSize() - 8;
  ImageList.reset(ImageList_Create(iconSize, iconSize, ILC_COLOR24 | ILC_MASK, 10, 2));
  items.Load();
  // One image per record in memory, so that image i always shows record i.
  const int count = items.ItemCount();
  platform::OwnedIcon blank;  // made once, for every record without an icon
  for (int i = 0; i < count; ++i) {
    char iconFile[260];
    int iconIndex = 0;
    platform::OwnedIcon icon;
    if (items.GetIconAt(i, iconFile, &iconIndex)) {
      WORD index = static_cast<WORD>(iconIndex);
      icon.reset(ExtractAssociatedIconA(instance, iconFile, &index));
    }
    if (!icon && !blank) blank.reset(CreateTransparentIcon(iconSize));
    ImageList_ReplaceIcon(ImageList.get(), -1, icon ? icon.get() : blank.get());
  }
}

void LauncherPanel::DestroyImageList() {
  if (!ImageList) return;
  ImageList_Remove(ImageList.get(), -1);
  ImageList.reset();
}

void LauncherPanel::ToggleHidden() {
  if (Hidden == 1) {
    Hidden = 0;
    std::memcpy(settings.WallpaperWork, settings.Wallpaper, sizeof settings.WallpaperWork);
    LoadWallpaper(settings.WallpaperWork);
    // A tray click while the loader's error box was up may have hidden the
    // panel again; it stays hidden then.
    if (Hidden == 1) return;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
  } else {
    Hidden = 1;
    FreeWallpaper();
    ShowWindow(window, SW_HIDE);
  }
}

void LauncherPanel::EndMoveSize() {
  if (Resized == 1) {
    SnapToGrid();
  } else {
    ClampAndSave();
  }
  Resized = 0;
}

void LauncherPanel::ComposeStartupPaths() {
  ::ComposeStartupPaths(&startup);
}

int LauncherPanel::UpdateStartupShortcut() {
  return ::UpdateStartupShortcut(startup, settings);
}

int LauncherPanel::LoadWallpaper(const char* path) {
  return ::LoadWallpaper(wallpaper, settings, window, path);
}

void LauncherPanel::FreeWallpaper() {
  ::FreeWallpaper(wallpaper);
}
