// Drops, launching and the item commands of the context menu. Each keeps the
// icon image list in step with the item store: image i shows record i.
#include "panel/launcher_panel.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "panel/grid_geometry.h"
#include "platform/com_use.h"
#include "platform/ui_text.h"
#include "platform/wide_names.h"

namespace {

const char kAlreadyRegistered[] = "そのファイルは既に登録済みです。登録してよろしいですか？";
const char kConfirmCaption[] = "確認";
const char kItemNotStored[] =
    "登録内容を保存できませんでした。\n"
    "ディスクの空きが足りないか、NuboInfo.Datが他のソフトで使用中か、\n"
    "読み取り専用になっている可能性があります。";
const char kLinkUnwritable[] =
    "ショートカットが指すファイル（リンク先、作業フォルダ、アイコン）の名前に"
    "このソフトでは扱えない文字が含まれているか、その場所が長すぎます。"
    "名前か場所を変えてから、もう一度ドロップしてください。";
const char kItemsNotAllRead[] =
    "NuboInfo.Datをすべて読みこめなかったため、登録内容を保存できませんでした。\n"
    "他のソフトで使用中でないか確かめて、ぬぼてさぽんを起動し直してください。";

// Asks the shell to open `target` in `workDir`, with `parameters` when given.
void Open(const char* target, const char* parameters, const char* workDir) {
  platform::UseCom();
  ShellExecuteW(nullptr, L"open", platform::WideText(target).get(),
                platform::WideText(parameters).get(), platform::WideText(workDir).get(), SW_SHOW);
}

}  // namespace

// A file dropped onto an item opens with the item's program; dropped onto an
// empty cell it becomes a new item there.
void LauncherPanel::DropFile(const char* path, std::uint32_t x, std::uint32_t y) {
  const std::int32_t key = grid::CellKeyAt(x, y, CellSize());
  int iconIndex = 0;
  char title[260], target[260], workDir[260], iconFile[260];
  if (items.GetFields(key, &iconIndex, title, target, workDir, iconFile)) {
    char parameters[264];
    std::snprintf(parameters, sizeof parameters, "\"%s\"", path);
    Open(target, parameters, workDir);
    return;
  }
  if (items.HasTarget(path)) {
    const int answer =
        platform::ShowMessageBox(window, kAlreadyRegistered, kConfirmCaption, MB_OKCANCEL);
    // The question runs a modal loop: another drop may have taken the cell.
    if (answer != IDOK || items.HasKey(key)) return;
  }
  const int imported = items.ImportDroppedFile(path, key);
  if (imported == -1) Warn(kLinkUnwritable);
  if (imported == 0) WarnItemNotStored();
  if (imported != 1) return;
  AppendItemImage(key);
  platform::WindowDc dc(window);
  PaintItemCell(dc.get(), key, 0);
}

// The item just registered, the last record, gets its icon appended to the
// image list. Should the list not end up with one image per record, it is
// rebuilt, so that later images do not slide onto the wrong items.
void LauncherPanel::AppendItemImage(std::int32_t) {
  if (listDeferred_) return;  // the list, when made, takes the record in
  AppendItemIcon();
  if (ImageList_GetImageCount(ImageList.get()) != items.ItemCount()) RebuildImageList();
}

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
  Open(target, nullptr, workDir);
}

void LauncherPanel::EditContextItem() {
  const std::int32_t key = ContextKey;
  ContextKey = -1;
  const int edited = items.EditItem(instance, window, key);
  if (edited == -1) WarnItemNotStored();
  if (edited != 1) return;
  // An edited record keeps its place: one icon is replaced. An item made on
  // an empty cell is the last record, whose icon is appended as for a drop.
  int index = 0;
  if (!items.FindKey(key, &index)) return;
  if (index < iconSlots_.Count()) {
    ReplaceItemIcon(index);
  } else {
    AppendItemImage(key);
  }
  platform::WindowDc dc(window);
  PaintItemCell(dc.get(), key, 1);
}

// Deletes at once, without a question. The records after the deleted one move
// down by one, and so do their images. A delete the item file refuses keeps
// the item, on screen as in the file.
void LauncherPanel::DeleteContextItem() {
  const std::int32_t key = ContextKey;
  ContextKey = -1;
  int index = 0;
  if (!items.FindKey(key, &index)) return;
  const bool removed = items.Remove(key) == 1;
  if (removed) RemoveItemIcon(index);
  {
    platform::WindowDc dc(window);
    if (removed) {
      PaintCellBackground(dc.get(), key);
    } else {
      PaintItemCell(dc.get(), key, 1);
    }
  }
  if (!removed) WarnItemNotStored();
}

void LauncherPanel::WarnItemNotStored() {
  Warn(items.HoldsWholeFile() ? kItemNotStored : kItemsNotAllRead);
}
