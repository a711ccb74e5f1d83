// The icon list of the item edit dialog and the file checks behind it.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>

#include "items/item_edit_dialog.h"
#include "items/item_import_rules.h"
#include "platform/wide_names.h"
#include "resources/resource.h"

namespace {

const char kCannotRead[] = "指定されたファイルを読みこめませんでした。";
const char kWarningCaption[] = "ホコからの警告";
const char kIconFilter[] = "アイコン (*.ICO,*.EXE,*.DLL)\0*.ICO;*.EXE;*.DLL\0";

// Shows `icon` in control 1106; an icon of our own is kept until the next one
// replaces it.
void ShowIcon(ItemEditState* state, HICON icon, bool owned) {
  SendDlgItemMessageA(state->dialog, IDC_ITEM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  state->shownIcon.reset(owned ? icon : nullptr);
}

void InsertListItem(HWND listView, int index) {
  LVITEMA item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  item.iImage = index;
  SendMessageA(listView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// An icon that could not be extracted leaves an empty image in its place, so
// that every later image keeps the position of its icon in the file.
void AppendIcon(ItemEditState* state, HICON icon, int index) {
  platform::OwnedIcon owned(icon);
  const HICON shown = owned ? owned.get() : LoadIconA(state->instance, MAKEINTRESOURCEA(IDI_BLANK));
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
  SendMessageA(state->listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), TRUE);
  LVITEMA item = {};
  item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  item.state = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageA(state->listView, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
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
  SendMessageA(state->listView, LVM_DELETEALLITEMS, 0, 0);
  if (state->imageList) {
    // The list view would destroy an attached list once more when it goes.
    SendMessageA(state->listView, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    ImageList_Remove(state->imageList.get(), -1);
    state->imageList.reset();
  }
  state->iconCount = 0;
  ShowIcon(state, LoadIconA(state->instance, MAKEINTRESOURCEA(IDI_BLANK)), false);
}

void BuildIconList(ItemEditState* state) {
  ReleaseIconList(state);
  if (!PathExists(state->iconFile)) return;
  state->iconCount = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(ExtractIconW(
      state->instance, platform::WideText(state->iconFile).get(), static_cast<UINT>(-1))));
  const int size = state->iconCount > 0 ? ChoosableIcons(state) : 1;
  state->imageList.reset(ImageList_Create(32, 32, ILC_MASK | ILC_COLOR8, size, size));
  SendMessageA(state->listView, LVM_SETIMAGELIST, LVSIL_NORMAL,
               reinterpret_cast<LPARAM>(state->imageList.get()));
  if (state->iconCount > 0) {
    FillFromIconFile(state);
  } else {
    FillFromAssociation(state);
  }
  SelectListItem(state, state->iconIndex);
}

// The choice lands in a buffer of its own: one that does not fit (the dialog
// then writes the size it needs there) or that is refused changes nothing.
void BrowseIconFile(ItemEditState* state) {
  constexpr DWORD kCapacity = 128;
  char chosen[260] = "";
  if (std::strlen(state->iconFile) < kCapacity) std::memcpy(chosen, state->iconFile, sizeof chosen);
  OPENFILENAMEA open = {};
  open.lStructSize = sizeof open;
  open.hwndOwner = state->dialog;
  open.lpstrFilter = kIconFilter;
  open.nFilterIndex = 1;
  open.lpstrFile = chosen;  // proposes the current file
  open.nMaxFile = kCapacity;
  open.Flags = OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&open)) return;
  if (!IsIconFile(state, chosen)) {
    MessageBoxA(state->dialog, kCannotRead, kWarningCaption, MB_OK);
    return;
  }
  std::memcpy(state->iconFile, chosen, sizeof chosen);
  state->iconIndex = 0;
  SetDlgItemTextA(state->dialog, IDC_ITEM_ICON_FILE, state->iconFile);
  BuildIconList(state);
}
