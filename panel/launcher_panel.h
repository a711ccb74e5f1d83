// The launcher panel: owns the items, the settings, the hover label, the icon
// image list, the background brush, the wallpaper and the Startup paths, and
// does everything the main window asks of it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "items/item_store.h"
#include "panel/icon_slots.h"
#include "panel/offscreen_bitmap.h"
#include "panel/tool_tip_window.h"
#include "platform/win_handles.h"
#include "settings/panel_settings.h"
#include "settings/startup_shortcut.h"
#include "wallpaper/wallpaper_image.h"

class LauncherPanel {
 public:
  // Names the item file and loads the settings.
  LauncherPanel();
  virtual ~LauncherPanel();
  LauncherPanel(const LauncherPanel&) = delete;
  LauncherPanel& operator=(const LauncherPanel&) = delete;

  // Lifecycle (launcher_panel.cpp).
  int Initialize(HINSTANCE instance, HWND window);
  void ShowFirstTime();
  // The window where the settings place it and in their stacking order
  // (panel_placement.cpp).
  void PlaceAtStart();
  // The records again from the item file and a new list for them, whose
  // icons all come in batches (below).
  void RebuildImageList();
  void DestroyImageList();

  // The icons of the image list (panel_icons.cpp). A rebuild shows
  // placeholders at once and extracts the icons in batches from a timer of the
  // main window; a single item change touches one image.
  static constexpr UINT_PTR kIconTimerId = 5001;
  void OnIconTimer();
  // At start: the records now, the image list from the icon timer's first
  // tick, once the message loop runs (without a window, at once).
  void StartImageList();
  // Extracts every icon still waiting, now.
  void FinishIcons();
  // Record `index`'s icon, now, if it is still waiting (before a drag shows it),
  // and the list first when it is not made yet.
  void EnsureIcon(int index);
  // Icons not yet in the image list; before the list is made, every record's.
  int PendingIcons() const { return listDeferred_ ? items.ItemCount() : iconSlots_.PendingCount(); }
  // False while image `index` is a placeholder: painting leaves it out.
  bool IconReady(int index) const {
    return !listDeferred_ && (index >= iconSlots_.Count() || !iconSlots_.IsPending(index));
  }
  // The record just appended (a drop) gets its icon, at the end of the list.
  void AppendItemIcon();
  // Record `index` names a new icon (a confirmed edit).
  void ReplaceItemIcon(int index);
  // Record `index` is gone (a delete): its image goes, the later ones move down.
  void RemoveItemIcon(int index);
  void ToggleHidden();
  void MarkResized() { Resized = 1; }
  void EndMoveSize();
  void ComposeStartupPaths();
  int UpdateStartupShortcut();
  int LoadWallpaper(const char* path);
  void FreeWallpaper();
  // The brush of the cells without a wallpaper; the panel owns it from here.
  void SetBackgroundBrush(HBRUSH brush);

  // Placement (panel_placement.cpp).
  void SnapToGrid();
  void ClampAndSave();

  // Painting (panel_paint.cpp).
  void Paint();
  // The background erase before a paint (panel_compose.cpp).
  void EraseBesideGrid(HDC dc);
  void PaintBackground(HDC dc);
  void PaintItems(HDC dc);
  void PaintCellBackground(HDC dc, std::int32_t key);
  void PaintItemCell(HDC dc, std::int32_t key, int normal);
  // The device contexts of the kept pictures (panel_compose.cpp), null while
  // none is kept: what stays selected in them outlives every paint.
  HDC ComposedDc() const { return composed_.dc(); }
  HDC BackgroundDc() const { return background_.dc(); }

  // Pointer and command entry points (panel_input.cpp).
  void PointerMovedTo(std::uint32_t x, std::uint32_t y);
  void PressAt(std::uint32_t x, std::uint32_t y);
  void ReleaseAt(std::uint32_t x, std::uint32_t y);
  // Ends a press or drag of an item without a release: nothing moves.
  void EndPress();
  void SetContextCell(std::uint32_t x, std::uint32_t y);
  int HasItemAt(std::uint32_t x, std::uint32_t y) const;
  void ChangeSettings();

  // Drops, launching and the item commands (panel_items.cpp).
  // The drop point is in client coordinates, divided as unsigned numbers like
  // every other cell key.
  void DropFile(const char* path, std::uint32_t x, std::uint32_t y);
  void LaunchAt(std::int32_t key);
  void EditContextItem();
  void DeleteContextItem();

  // A warning box owned by the panel, caption "ホコからの警告" unless another is
  // given. At most one is open at a time: a warning raised while one is shown
  // (by a timer, a tray click or a drop inside its loop) is not shown again.
  // Returns false when it was not shown.
  bool Warn(const char* text, const char* caption = nullptr);
  // The warnings of a change the item file or the settings file did not take.
  // The settings' is given after the saves of a step (the first show, a
  // move, a show, the settings command, the exit): when the last save did
  // not reach the file, once until one does.
  void WarnItemNotStored();
  void WarnSettingsNotSaved();

  // Called with `filesDoneContext` once the destructor has written the files
  // for the last time, before a box about that save: whatever keeps a second
  // launcher off the folder can end there.
  void (*filesDone)(void* context) = nullptr;
  void* filesDoneContext = nullptr;

  // The cell size in pixels, as the settings hold it now.
  int CellSize() const { return settings.IconSize; }
  bool WallpaperShown() const { return settings.Bitmap == 1 && wallpaper.FileData != nullptr; }

  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  ItemStore items;
  PanelSettings settings;
  ToolTipWindow label;
  std::int32_t ContextKey = -1;
  std::int32_t DragSourceKey = -1;
  std::int32_t DragState = -1;
  POINT PressPoint = {0, 0};
  std::int32_t Hidden = 1;
  std::int32_t Resized = 0;
  std::int32_t GridHeight = 0;
  std::int32_t GridWidth = 0;
  platform::OwnedImageList ImageList;
  WallpaperImage wallpaper;
  platform::OwnedBrush BackgroundBrush;
  StartupPaths startup;

 private:
  // The composed grid (panel_compose.cpp).
  // The grid's size and the look's generation, which every change to what a
  // cell shows (image list, brush, wallpaper, settings) moves on.
  struct ComposedLook {
    int width = 0, height = 0, cell = 0, line = 0;
    unsigned generation = 0;
    bool operator==(const ComposedLook& o) const;
  };
  ComposedLook CurrentLook() const;
  void LookChanged() { ++lookGeneration_; }
  // A drag image shown over the window is taken off while the window is drawn
  // on and put back after, so that it keeps the new picture underneath rather
  // than putting the old one back at the next move.
  class DragImageHidden {
   public:
    explicit DragImageHidden(bool shown);
    ~DragImageHidden();
    DragImageHidden(const DragImageHidden&) = delete;
    DragImageHidden& operator=(const DragImageHidden&) = delete;

   private:
    bool shown_;
  };
  bool EnsureComposed(HDC like);
  void PaintExposed(HDC dc, const RECT& exposed);
  void RecomposeCell(std::int32_t key);
  void ShowCell(std::int32_t key);
  void ReleaseComposed();
  bool CellInGrid(std::int32_t key, RECT* cell) const;
  void DrawIconsAt(HDC dc, std::int32_t key);
  std::int32_t PointerKey() const;

  // Icon extraction (panel_icons.cpp).
  icons::Source RecordSource(int index) const;
  void ScheduleIcons();
  void StopIcons();
  void MakeImageList();
  int FillIcons(double milliseconds);
  bool FillNow(int index);
  // Pointer helpers (panel_input.cpp).
  void BeginDrag(std::uint32_t x, std::uint32_t y);
  void HoverAt(std::uint32_t x, std::uint32_t y);
  bool DropDraggedItem(std::int32_t key);
  void EndDragImage();
  void SetPointerShape(std::int32_t cursorId) const;
  void ShowLabel(const char* title, int centreX, int top);

  void DrawBevel(HDC dc, int x, int y);
  void AppendItemImage(std::int32_t key);
  void StretchWallpaper(HDC dc, int x, int y, int width, int height, int srcX, int srcY,
                        int srcWidth, int srcHeight);
  bool warningOpen_ = false;
  bool settingsFailureTold_ = false;

  icons::IconSlots iconSlots_;
  platform::OwnedIcon blankIcon_;
  bool iconTimer_ = false;
  bool listDeferred_ = false;  // the image list waits for the timer's first tick
  bool filling_ = false;
  OffscreenBitmap composed_;
  OffscreenBitmap background_;  // the stretched wallpaper and bevels alone
  ComposedLook composedLook_;
  bool composedValid_ = false;
  unsigned lookGeneration_ = 0;
  bool dragImageShown_ = false;
};

// The cell last drawn highlighted by hovering. One per process, like the
// pointer; cell 0 at start.
std::int32_t& HotKey();
