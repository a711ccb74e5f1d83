// The icon list of the item edit dialog and the file checks behind it.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>

#include "items/item_edit_dialog.h"
#include "items/item_import_rules.h"
#include "platform/ui_text.h"
#include "platform/wide_names.h"
#include "resources/resource.h"

namespace {

const char kCannotRead[] = "指定されたファイルを読みこめませんでした。";
const char kWarningCaption[] = "ホコからの警告";
const char kIconFilterName[] = "アイコン (*.ICO,*.EXE,*.DLL)";
const char kIconPattern[] = "*.ICO;*.EXE;*.DLL";

// Shows `icon` in control 1106; an icon of our own is kept until the next one
// replaces it.
void ShowIcon(ItemEditState* state, HICON icon, bool owned) {
  SendDlgItemMessageW(state->dialog, IDC_ITEM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  state->shownIcon.reset(owned ? icon : nullptr);
}

void InsertListItem(HWND listView, int index) {
  LVITEMW item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  item.iImage = index;
  SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// An icon that could not be extracted leaves an empty image in its place, so
// that every later image keeps the position of its icon in the file.
void AppendIcon(ItemEditState* state, HICON icon, int index) {
  platform::OwnedIcon owned(icon);
  const HICON shown = owned ? owned.get() : LoadIconW(state->instance, MAKEINTRESOURCEW(IDI_BLANK));
  ImageList_ReplaceIcon(state->imageList.get(), -1, shown);
  InsertListItem(state->listView, index);
}

// The icons that can be chosen: a file may report tens of thousands.
int ChoosableIcons(const ItemEditState* state) {
  return static_cast<int>(state->iconCount < kMaxIconIndex + 1u ? state->iconCount
                                                                : kMaxIconIndex + 1u);
}

void FillFromIconFile(ItemEditState* state) {
  const platform::WideText file(state->iconFile);
  for (int i = 0; i < ChoosableIcons(state); ++i) {
    AppendIcon(state, ExtractIconW(state->instance, file.get(), static_cast<UINT>(i)), i);
  }
}

// A file without icons of its own shows its associated icon. The shell may
// rewrite the path and index it is handed to the associated program's, so it
// works on copies: the state keeps what the icon-file field shows.
void FillFromAssociation(ItemEditState* state) {
  wchar_t path[MAX_PATH];
  platform::WideOf(state->iconFile, path, MAX_PATH);
  WORD index = state->iconIndex;
  AppendIcon(state, ExtractAssociatedIconW(state->instance, path, &index), 0);
}

void SelectListItem(ItemEditState* state, int index) {
  SendMessageW(state->listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), TRUE);
  LVITEMW item = {};
  item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  item.state = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageW(state->listView, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&item));
  ShowListImage(state, index);
}

}  // namespace

void ShowListImage(ItemEditState* state, int index) {
  if (!state->imageList) return;
  HICON icon = ImageList_GetIcon(state->imageList.get(), index, ILD_TRANSPARENT);
  if (icon != nullptr) ShowIcon(state, icon, true);
}

bool PathExists(const char* path) {
  const platform::WideText wide(path);
  if (path[0] == '\0' || !wide.ok()) return false;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(wide.get(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    return true;
  }
  return EndsWithSeparator(path) && GetDriveTypeW(wide.get()) != DRIVE_UNKNOWN;
}

// The shell rewrites the path it is handed to the file the icon came from
// when the file has none of its own: the call works on a copy.
bool IsIconFile(const ItemEditState* state, const char* path) {
  wchar_t wide[MAX_PATH], copy[MAX_PATH];
  if (!platform::WideOf(path, wide, MAX_PATH)) return false;
  std::wmemcpy(copy, wide, MAX_PATH);
  WORD index = 0;
  platform::OwnedIcon icon(ExtractAssociatedIconW(state->instance, copy, &index));
  return icon && std::wcscmp(copy, wide) == 0;
}

void ReleaseIconList(ItemEditState* state) {
  SendMessageW(state->listView, LVM_DELETEALLITEMS, 0, 0);
  if (state->imageList) {
    // The list view would destroy an attached list once more when it goes.
    SendMessageW(state->listView, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    ImageList_Remove(state->imageList.get(), -1);
    state->imageList.reset();
  }
  state->iconCount = 0;
  ShowIcon(state, LoadIconW(state->instance, MAKEINTRESOURCEW(IDI_BLANK)), false);
}

void BuildIconList(ItemEditState* state) {
  ReleaseIconList(state);
  if (!PathExists(state->iconFile)) return;
  state->iconCount = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(ExtractIconW(
      state->instance, platform::WideText(state->iconFile).get(), static_cast<UINT>(-1))));
  const int size = state->iconCount > 0 ? ChoosableIcons(state) : 1;
  state->imageList.reset(ImageList_Create(32, 32, ILC_MASK | ILC_COLOR8, size, size));
  SendMessageW(state->listView, LVM_SETIMAGELIST, LVSIL_NORMAL,
               reinterpret_cast<LPARAM>(state->imageList.get()));
  if (state->iconCount > 0) {
    FillFromIconFile(state);
  } else {
    FillFromAssociation(state);
  }
  SelectListItem(state, state->iconIndex);
}

// The choice lands in a buffer of its own: one that is refused changes
// nothing. A file whose name code page 932 cannot write is taken by its short
// name; without one, it is refused.
void BrowseIconFile(ItemEditState* state) {
  constexpr DWORD kCapacity = 128;
  char chosen[260];
  std::memcpy(chosen, state->iconFile, sizeof chosen);
  // The dialog leaves the current directory where it was: relative paths in
  // the fields keep their meaning.
  const platform::FileChoice choice =
      platform::ChooseFile(state->dialog, kIconFilterName, kIconPattern, chosen, kCapacity,
                           OFN_HIDEREADONLY | OFN_NOCHANGEDIR);
  if (choice == platform::FileChoice::Cancelled) return;
  if (choice == platform::FileChoice::Unwritable || !IsIconFile(state, chosen)) {
    platform::ShowMessageBox(
        state->dialog,
        choice == platform::FileChoice::Unwritable ? platform::kChosenNameUnwritable : kCannotRead,
        kWarningCaption, MB_OK);
    return;
  }
  std::memcpy(state->iconFile, chosen, sizeof chosen);
  state->iconIndex = 0;
  platform::SetDialogText(state->dialog, IDC_ITEM_ICON_FILE, state->iconFile);
  BuildIconList(state);
}
