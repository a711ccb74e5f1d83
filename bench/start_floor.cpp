// The floor for start-up figures: the least a tray program of this kind does.
// It registers a class, creates the same kind of hidden tool window as the
// launcher, adds a tray icon and runs its message loop until WM_CLOSE.
#include <windows.h>
#include <shellapi.h>

namespace {

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpszClassName = "NuboFloor";
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (RegisterClassA(&wc) == 0) return 1;
  HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_ACCEPTFILES | WS_EX_TOOLWINDOW,
                                "NuboFloor", "floor", WS_POPUP | WS_THICKFRAME, 0, 0, 0, 0, nullptr,
                                nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  NOTIFYICONDATAA tray = {};
  tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
  tray.hWnd = window;
  tray.uID = 1;
  tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  tray.uCallbackMessage = WM_USER + 1000;
  tray.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  lstrcpyA(tray.szTip, "floor");
  Shell_NotifyIconA(NIM_ADD, &tray);
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  Shell_NotifyIconA(NIM_DELETE, &tray);
  return 0;
}
