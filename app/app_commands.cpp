// Menu commands, the context menus, the tray icon's clicks, dropped files and
// the about box.
#include "app/launcher_app.h"
#include "resources/resource.h"

namespace {

const char kRestoreText[] = "最大化(&M)";
const char kContactMail[] = "support@hokoragi-kobo.example";
const char kContactWeb[] = "https://hokoragi-kobo.example/nubotesa/";

}  // namespace

void LauncherApp::OnCommand(WPARAM wParam) {
  switch (LOWORD(wParam)) {
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
      SendMessageA(mainWindow, WM_CLOSE, 0, 0);
      break;
    case ID_APP_ABOUT:
      DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), mainWindow, AboutDialogProc, 0);
      break;
    default:
      break;
  }
}

void LauncherApp::OnTrayNotify(LPARAM lParam) {
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      PostMessageA(mainWindow, WM_COMMAND, ID_PANEL_TOGGLE, 0);
      break;
    case WM_RBUTTONDOWN: {
      // The menu opens at the screen's bottom-right corner.
      RECT desktop;
      GetClientRect(GetDesktopWindow(), &desktop);
      const LPARAM point =
          static_cast<LPARAM>((desktop.right & 0xFFFF) | ((desktop.bottom & 0xFFFF) << 16));
      PostMessageA(mainWindow, WM_RBUTTONDOWN, 0, point);
      break;
    }
    default:
      break;
  }
}

void LauncherApp::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  const std::uint32_t x = LowWord(lParam);
  const std::uint32_t y = HighWord(lParam);
  panel.SetContextCell(x, y);
  platform::OwnedMenu menu;
  if (panel.HasItemAt(x, y) == 1) {
    menu.reset(LoadMenuA(instance, MAKEINTRESOURCEA(IDM_ITEM)));
  } else {
    menu.reset(LoadMenuA(instance, MAKEINTRESOURCEA(IDM_PANEL)));
    if (menu && panel.Hidden == 1) {
      ModifyMenuA(menu.get(), ID_PANEL_TOGGLE, MF_BYCOMMAND | MF_STRING, ID_PANEL_TOGGLE,
                  kRestoreText);
    }
  }
  if (!menu) return;
  POINT at = {static_cast<LONG>(x), static_cast<LONG>(y)};
  if (wParam != 0) ClientToScreen(mainWindow, &at);
  TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_RIGHTBUTTON, at.x, at.y, 0, mainWindow, nullptr);
}

void LauncherApp::OnDropFiles(HDROP drop) {
  char path[260] = "";
  DragQueryFileA(drop, 0, path, sizeof path);
  POINT at = {0, 0};
  DragQueryPoint(drop, &at);
  DragFinish(drop);
  panel.DropFile(path, static_cast<std::uint32_t>(at.x), static_cast<std::uint32_t>(at.y));
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, IDC_ABOUT_MAIL_LABEL, "Email");
      SetDlgItemTextA(dialog, IDC_ABOUT_WEB_LABEL, "URL");
      SetDlgItemTextA(dialog, IDC_ABOUT_MAIL, kContactMail);
      SetDlgItemTextA(dialog, IDC_ABOUT_WEB, kContactWeb);
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
