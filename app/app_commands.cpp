// Menu commands, the context menus, the tray icon's clicks, dropped files and
// the about box.
#include "app/launcher_app.h"

#include <windowsx.h>

#include "panel/grid_geometry.h"
#include "platform/com_use.h"
#include "platform/ui_text.h"
#include "platform/wide_names.h"
#include "resources/resource.h"

namespace {

const char kRestoreText[] = "最大化(&M)";
const char kContactMail[] = "support@hokoragi-kobo.example";
const char kContactWeb[] = "https://hokoragi-kobo.example/nubotesa/";
const char kNameUnwritable[] =
    "ファイルの名前に、このソフトでは扱えない文字が含まれています。"
    "名前を変えてから、もう一度ドロップしてください。";
const char kFolderNameUnwritable[] =
    "ファイルのあるフォルダの名前に、このソフトでは扱えない文字が含まれています。"
    "フォルダの名前を変えてから、もう一度ドロップしてください。";
const char kPathTooLong[] =
    "ファイルの場所が長すぎるため、登録できません。"
    "もっと短い場所に移してから、もう一度ドロップしてください。";
// How often a close cancels an open dialog before it destroys the window
// regardless (each round ends one of a nested pair).
constexpr int kMaxCloseRounds = 8;

// Commands that open a modal window, or change items that an open one may be
// editing.
bool NeedsNoOpenModal(WORD id) {
  switch (id) {
    case ID_ITEM_EDIT:
    case ID_ITEM_EDIT_ALT:
    case ID_ITEM_DELETE:
    case ID_PANEL_SETTINGS:
    case ID_APP_ABOUT:
      return true;
    default:
      return false;
  }
}

struct ModalSearch {
  HWND owner;
  HWND found;
};

bool IsOwnedBy(HWND window, HWND owner) {
  for (HWND w = GetWindow(window, GW_OWNER); w != nullptr; w = GetWindow(w, GW_OWNER)) {
    if (w == owner) return true;
  }
  return false;
}

BOOL CALLBACK FindModal(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ModalSearch*>(lParam);
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
      !IsOwnedBy(window, search->owner)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// The point a drop acts on, in client coordinates inside the client area.
grid::Point DropPoint(HWND window, POINT at, bool inClient) {
  RECT frame = {0, 0, 0, 0}, client = {0, 0, 0, 0};
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  const DWORD pointer = GetMessagePos();  // signed screen coordinates
  return grid::DropPointInClient({at.x, at.y}, {GET_X_LPARAM(pointer), GET_Y_LPARAM(pointer)},
                                 inClient, {frame.left, frame.top, frame.right, frame.bottom},
                                 {origin.x, origin.y}, client.right, client.bottom);
}

// A document whose name has no code-page-932 form at all reaches the program of the
// item under it by its whole name. False when the cell holds no item.
bool OpenWithItem(const ItemStore& items, std::int32_t key, const wchar_t* document) {
  int iconIndex = 0;
  char title[MAX_PATH], target[MAX_PATH], workDir[MAX_PATH], iconFile[MAX_PATH];
  if (!items.GetFields(key, &iconIndex, title, target, workDir, iconFile)) return false;
  wchar_t program[MAX_PATH], folder[MAX_PATH];
  platform::WideOf(target, program, MAX_PATH);
  platform::WideOf(workDir, folder, MAX_PATH);
  wchar_t parameters[MAX_PATH + 2];
  wsprintfW(parameters, L"\"%s\"", document);
  platform::UseCom();
  ShellExecuteW(nullptr, L"open", program, parameters, folder, SW_SHOW);
  return true;
}

// Why a dropped name could not be taken: its length, a folder's name, or the
// file's own name.
const char* RefusalOf(const wchar_t* name, UINT length) {
  if (length >= MAX_PATH) return kPathTooLong;
  switch (platform::Cp932NameFault(name)) {
    case platform::NameFault::Length:
      return kPathTooLong;
    case platform::NameFault::FolderName:
      return kFolderNameUnwritable;
    case platform::NameFault::FileName:
      break;
  }
  return kNameUnwritable;
}

}  // namespace

HWND LauncherApp::OpenModalWindow() const {
  if (mainWindow == nullptr) return nullptr;
  // The dialog that runs disables its owner: of a dialog and the message box
  // it shows, only the box is enabled.
  ModalSearch search = {mainWindow, nullptr};
  EnumThreadWindows(GetWindowThreadProcessId(mainWindow, nullptr), FindModal,
                    reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool LauncherApp::BringOpenModalForward() const {
  HWND open = OpenModalWindow();
  if (open == nullptr) return false;
  SetForegroundWindow(open);
  return true;
}

void LauncherApp::OnClose() {
  HWND open = OpenModalWindow();
  if (open != nullptr && closeRounds < kMaxCloseRounds) {
    // Whatever the dialog holds is dropped as by its Cancel button; the close
    // comes back once the dialog's loop has ended.
    ++closeRounds;
    PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    return;
  }
  DestroyWindow(mainWindow);
}

void LauncherApp::OnCommand(WPARAM wParam) {
  const WORD id = LOWORD(wParam);
  // One modal window at a time: a second request brings the open one forward.
  if (NeedsNoOpenModal(id) && BringOpenModalForward()) return;
  switch (id) {
    case ID_ITEM_EDIT:
    case ID_ITEM_EDIT_ALT:
      panel.EditContextItem();
      break;
    case ID_ITEM_DELETE:
      panel.DeleteContextItem();
      break;
    case ID_PANEL_TOGGLE:
      panel.ToggleHidden();
      break;
    case ID_PANEL_SETTINGS:
      panel.ChangeSettings();
      break;
    case ID_APP_EXIT:
      SendMessageW(mainWindow, WM_CLOSE, 0, 0);
      break;
    case ID_APP_ABOUT:
      DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), mainWindow, AboutDialogProc, 0);
      break;
    default:  // 40004, 40006, 40009 and unknown identifiers
      break;
  }
}

void LauncherApp::OnTrayNotify(LPARAM lParam) {
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      PostMessageW(mainWindow, WM_COMMAND, ID_PANEL_TOGGLE, 0);
      break;
    case WM_RBUTTONDOWN: {
      // The menu opens at the screen's bottom-right corner; wParam 0 says the
      // point is already in screen coordinates.
      RECT desktop;
      GetClientRect(GetDesktopWindow(), &desktop);
      const LPARAM point =
          static_cast<LPARAM>((desktop.right & 0xFFFF) | ((desktop.bottom & 0xFFFF) << 16));
      PostMessageW(mainWindow, WM_RBUTTONDOWN, 0, point);
      break;
    }
    default:
      break;
  }
}

void LauncherApp::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  const std::uint32_t x = LowWord(lParam);
  const std::uint32_t y = HighWord(lParam);
  // The menu's loop takes the left release: a held item is let go first, so
  // that the pointer is free in the menu and in a dialog chosen from it.
  panel.EndPress();
  panel.SetContextCell(x, y);
  platform::OwnedMenu menu;
  if (panel.HasItemAt(x, y) == 1) {
    menu.reset(LoadMenuW(instance, MAKEINTRESOURCEW(IDM_ITEM)));
  } else {
    menu.reset(LoadMenuW(instance, MAKEINTRESOURCEW(IDM_PANEL)));
    if (menu && panel.Hidden == 1) {
      ModifyMenuW(menu.get(), ID_PANEL_TOGGLE, MF_BYCOMMAND | MF_STRING, ID_PANEL_TOGGLE,
                  platform::WideText(kRestoreText).get());
    }
  }
  if (!menu) return;
  POINT at = {static_cast<LONG>(x), static_cast<LONG>(y)};
  if (wParam != 0) ClientToScreen(mainWindow, &at);
  // Without the foreground a menu opened from the tray would stay open when
  // the user clicks elsewhere; the WM_NULL lets it close properly. A press on
  // the panel has already made it the foreground window: asking again while
  // the activation is still on its way lets some window managers close the
  // menu as it opens. Taking the foreground lifts the window to the top: a
  // shown panel kept at the bottom goes back there before the menu shows.
  // While a dialog is open the main window is disabled: the foreground goes
  // to the dialog, which the X server's late focus note would bring back
  // anyway, ending the menu as it opens.
  if (wParam == 0 && GetForegroundWindow() != mainWindow) {
    const HWND open = OpenModalWindow();
    SetForegroundWindow(open != nullptr ? open : mainWindow);
    if (open == nullptr && panel.Hidden == 0 && panel.settings.TopMost == 0) {
      SetWindowPos(mainWindow, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_RIGHTBUTTON, at.x, at.y, 0, mainWindow, nullptr);
  PostMessageW(mainWindow, WM_NULL, 0, 0);
}

// Only the first file of a drop counts. The drop handle is freed whatever
// happens, before the panel may ask a question in a modal loop. The shell
// names the file in UTF-16; the item file gets the path in code page 932
// by which they find it. A name that has none can still be opened by an item;
// anything else is refused, and the user told why.
void LauncherApp::OnDropFiles(HDROP drop) {
  wchar_t name[MAX_PATH] = L"";
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  if (length < MAX_PATH) DragQueryFileW(drop, 0, name, MAX_PATH);
  POINT at = {0, 0};
  const bool inClient = DragQueryPoint(drop, &at) != FALSE;
  DragFinish(drop);
  // A drop without a file registers nothing.
  if (length == 0) return;
  const grid::Point point = DropPoint(mainWindow, at, inClient);
  const auto x = static_cast<std::uint32_t>(point.x), y = static_cast<std::uint32_t>(point.y);
  // A name too long to take whole would become an item with a wrong target.
  char path[MAX_PATH];
  if (length >= MAX_PATH || !platform::Cp932PathOf(name, path)) {
    if (length >= MAX_PATH ||
        !OpenWithItem(panel.items, grid::CellKeyAt(x, y, panel.CellSize()), name)) {
      panel.Warn(RefusalOf(name, length));
    }
    return;
  }
  panel.DropFile(path, x, y);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      platform::SetDialogText(dialog, IDC_ABOUT_MAIL_LABEL, "Email");
      platform::SetDialogText(dialog, IDC_ABOUT_WEB_LABEL, "URL");
      platform::SetDialogText(dialog, IDC_ABOUT_MAIL, kContactMail);
      platform::SetDialogText(dialog, IDC_ABOUT_WEB, kContactWeb);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 2);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
