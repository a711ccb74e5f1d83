// The item edit dialog: EditItem runs it modally over a working copy of the
// item, checks every field before accepting and stores the result.
#include "items/item_edit_dialog.h"

#include <commctrl.h>

#include <cstring>

#include "items/item_store.h"
#include "platform/ui_text.h"
#include "resources/resource.h"

namespace {

const char kInputCaption[] = "入力ミス";
const char kMissingIconFile[] = "指定されたファイルは存在していません。";
const char kChooseIcon[] = "アイコンを選んでください。";
const char kUnwritableInput[] =
    "入力された文字の中に、このソフトでは扱えない文字が含まれています。";

struct FieldCheck {
  int control;
  char* text;
  bool written;  // code page 932 writes the whole text
  bool (*acceptable)(const char*);
  const char* message;
};

bool NotEmpty(const char* text) {
  return text[0] != '\0';
}

void FocusAndSelectAll(HWND dialog, int control) {
  const HWND field = GetDlgItem(dialog, control);
  SetFocus(field);
  SendMessageW(field, EM_SETSEL, 0, -1);
}

ItemEditState* StateOf(HWND dialog) {
  return reinterpret_cast<ItemEditState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
  ItemEditState* state = reinterpret_cast<ItemEditState*>(lParam);
  SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  state->dialog = dialog;
  platform::SetDialogText(dialog, IDC_ITEM_TITLE, state->title);
  platform::SetDialogText(dialog, IDC_ITEM_TARGET, state->target);
  platform::SetDialogText(dialog, IDC_ITEM_WORK_DIR, state->workDir);
  platform::SetDialogText(dialog, IDC_ITEM_ICON_FILE, state->iconFile);
  state->listView = GetDlgItem(dialog, IDC_ITEM_ICON_LIST);
  // One row of icons without labels: the default spacing leaves room for a
  // label under each icon, which makes an item taller than the list, and the
  // list then shows the item's empty bottom and cuts its icon.
  SendMessageW(state->listView, LVM_SETICONSPACING, 0, MAKELPARAM(40, 40));
  BuildIconList(state);
  return TRUE;  // the default focus
}

// A changed icon file is checked before anything else may use it, so that the
// list always shows the icons of the file the field names. False when the
// file was refused, which has been reported. A name that code page 932 cannot
// write is kept in its shown form only to notice that it did not change.
bool CheckIconFileField(ItemEditState* state) {
  char text[260] = "";
  const bool written = platform::GetDialogPath(state->dialog, IDC_ITEM_ICON_FILE, text);
  if (std::strcmp(text, state->iconFile) == 0) return true;
  std::memcpy(state->iconFile, text, sizeof text);
  state->iconIndex = 0;
  if (written && IsIconFile(state, state->iconFile)) {
    BuildIconList(state);
    return true;
  }
  platform::ShowMessageBox(state->dialog, written ? kMissingIconFile : kUnwritableInput,
                           kInputCaption, MB_OK);
  FocusAndSelectAll(state->dialog, IDC_ITEM_ICON_FILE);
  ReleaseIconList(state);
  return false;
}

// The icon-file field lost the focus. Only a move to another field or button
// checks it: the dialog losing the activation (another window, a menu) or
// closing (Cancel, Escape, EndDialog focusing the dialog itself) does not.
void OnIconFileLeft(ItemEditState* state) {
  const HWND focus = GetFocus();
  if (!IsChild(state->dialog, focus) || GetDlgCtrlID(focus) == IDCANCEL) return;
  CheckIconFileField(state);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
  ItemEditState* state = StateOf(dialog);
  if (state == nullptr) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      // Enter in the icon-file field confirms without leaving it.
      if (!CheckIconFileField(state) || ValidateItemEdit(state) != 1) return TRUE;
      ReleaseIconList(state);
      EndDialog(dialog, 1);
      return TRUE;
    case IDCANCEL:
      ReleaseIconList(state);
      EndDialog(dialog, 2);
      return TRUE;
    case IDC_ITEM_BROWSE:
      BrowseIconFile(state);
      return TRUE;
    case IDC_ITEM_ICON_FILE:
      if (HIWORD(wParam) != EN_KILLFOCUS) return FALSE;
      OnIconFileLeft(state);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR OnNotify(HWND dialog, LPARAM lParam) {
  ItemEditState* state = StateOf(dialog);
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (state == nullptr || header->idFrom != IDC_ITEM_ICON_LIST) return FALSE;
  if (header->code != LVN_ITEMCHANGED) return FALSE;
  ShowListImage(state, reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem);
  return TRUE;
}

INT_PTR OnDestroy(HWND dialog) {
  ItemEditState* state = StateOf(dialog);
  if (state != nullptr) ReleaseIconList(state);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK ItemEditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, lParam);
    case WM_COMMAND:
      return OnCommand(dialog, wParam);
    case WM_NOTIFY:
      return OnNotify(dialog, lParam);
    case WM_DESTROY:
      return OnDestroy(dialog);
    default:
      return FALSE;
  }
}

int ValidateItemEdit(ItemEditState* state) {
  const HWND dialog = state->dialog;
  // Each field is read once; a path that code page 932 cannot write is taken
  // by its short name where the file exists.
  const FieldCheck checks[] = {
      {IDC_ITEM_TITLE, state->title,
       platform::GetDialogText(dialog, IDC_ITEM_TITLE, state->title, sizeof state->title), NotEmpty,
       "タイトルが入力されていません。"},
      {IDC_ITEM_TARGET, state->target,
       platform::GetDialogPath(dialog, IDC_ITEM_TARGET, state->target), PathExists,
       "指定されたファイル,場所は存在しません。"},
      {IDC_ITEM_WORK_DIR, state->workDir,
       platform::GetDialogPath(dialog, IDC_ITEM_WORK_DIR, state->workDir), PathExists,
       "指定された場所は存在しません。"},
      {IDC_ITEM_ICON_FILE, state->iconFile,
       platform::GetDialogPath(dialog, IDC_ITEM_ICON_FILE, state->iconFile), PathExists,
       "指定されたファイルにアイコンは存在しません。"},
  };
  for (const FieldCheck& check : checks) {
    if (check.written && check.acceptable(check.text)) continue;
    FocusAndSelectAll(dialog, check.control);
    platform::ShowMessageBox(dialog, check.written ? check.message : kUnwritableInput,
                             kInputCaption, MB_OK);
    return 0;
  }
  // No selection answers -1, which keeps 65535 in 16 bits.
  const LRESULT selected =
      SendMessageW(state->listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  state->iconIndex = static_cast<std::uint16_t>(selected & 0xFFFF);
  if (state->iconIndex > kMaxIconIndex) {
    platform::ShowMessageBox(dialog, kChooseIcon, kInputCaption, MB_OK);
    return 0;
  }
  return 1;
}

int ItemStore::EditItem(HINSTANCE instance, HWND parent, std::int32_t key) {
  ItemEditState state;
  state.instance = instance;
  int iconIndex = 0;
  if (GetFields(key, &iconIndex, state.title, state.target, state.workDir, state.iconFile)) {
    state.iconIndex = static_cast<std::uint16_t>(iconIndex);
  }
  // The dialog's list view needs the common controls, which are loaded on
  // first use.
  InitCommonControls();
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ITEM_EDIT), parent,
                                         ItemEditDialogProc, reinterpret_cast<LPARAM>(&state));
  if (result != 1) return 0;
  return Put(key, state.iconIndex, state.title, state.target, state.workDir, state.iconFile) ? 1
                                                                                             : -1;
}
