#include "app/launcher_app.h"

#include <new>

#include "app/single_instance.h"
#include "platform/wide_names.h"
#include "resources/resource.h"

namespace {

const wchar_t kClassName[] = L"Nubotesa";
const char kWindowTitle[] = "ぬぼてさぽん";
const char kTrayTip[] = "ぬぼてさぽん";
constexpr UINT kTrayIconId = 1;

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

LauncherApp* AppOf(HWND window) {
  return reinterpret_cast<LauncherApp*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

using Handler = void (*)(LauncherApp& app, HWND window, WPARAM wParam, LPARAM lParam);

void OnDestroy(LauncherApp&, HWND, WPARAM, LPARAM) {
  PostQuitMessage(0);
}
void OnSize(LauncherApp& app, HWND, WPARAM, LPARAM) {
  app.Panel().MarkResized();
}
void OnPaint(LauncherApp& app, HWND, WPARAM, LPARAM) {
  app.Panel().Paint();
}
LRESULT OnEraseBackground(LauncherApp& app, HWND, WPARAM w, LPARAM) {
  app.Panel().EraseBesideGrid(reinterpret_cast<HDC>(w));
  return 1;
}
void OnClose(LauncherApp& app, HWND, WPARAM, LPARAM) {
  app.OnClose();
}
void OnCommandMessage(LauncherApp& app, HWND, WPARAM wParam, LPARAM) {
  app.OnCommand(wParam);
}
void OnMouseMove(LauncherApp& app, HWND, WPARAM, LPARAM l) {
  app.Panel().PointerMovedTo(LowWord(l), HighWord(l));
}
void OnLeftDown(LauncherApp& app, HWND, WPARAM, LPARAM l) {
  app.Panel().PressAt(LowWord(l), HighWord(l));
}
void OnLeftUp(LauncherApp& app, HWND, WPARAM, LPARAM l) {
  app.Panel().ReleaseAt(LowWord(l), HighWord(l));
}
void OnRightDown(LauncherApp& app, HWND, WPARAM w, LPARAM l) {
  app.OnContextMenu(w, l);
}
void OnExitSizeMove(LauncherApp& app, HWND, WPARAM, LPARAM) {
  app.Panel().EndMoveSize();
}
void OnDrop(LauncherApp& app, HWND, WPARAM w, LPARAM) {
  app.OnDropFiles(reinterpret_cast<HDROP>(w));
}
void OnTray(LauncherApp& app, HWND, WPARAM, LPARAM l) {
  app.OnTrayNotify(l);
}
// A second start in this folder asks for the panel: a hidden one is shown as
// a tray click shows it, a shown one comes to the front.
void OnShowPanel(LauncherApp& app, HWND window, WPARAM, LPARAM) {
  if (app.Panel().Hidden == 1) {
    app.OnCommand(ID_PANEL_TOGGLE);
  } else {
    SetForegroundWindow(window);
  }
}
void OnTimer(LauncherApp& app, HWND, WPARAM w, LPARAM) {
  if (w == LauncherPanel::kIconTimerId) app.Panel().OnIconTimer();
  if (w == LauncherApp::kTrayRetryTimerId) app.RetryTrayIcon();
}

struct Route {
  UINT message;
  Handler handler;
};

const Route kRoutes[] = {
    {WM_DESTROY, OnDestroy},
    {WM_SIZE, OnSize},
    {WM_PAINT, OnPaint},
    {WM_CLOSE, OnClose},
    {WM_COMMAND, OnCommandMessage},
    {WM_MOUSEMOVE, OnMouseMove},
    {WM_LBUTTONDOWN, OnLeftDown},
    {WM_LBUTTONUP, OnLeftUp},
    {WM_RBUTTONDOWN, OnRightDown},
    {WM_EXITSIZEMOVE, OnExitSizeMove},
    {WM_DROPFILES, OnDrop},
    {kTrayMessage, OnTray},
    {WM_TIMER, OnTimer},
};

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return 0;
  }
  if (message == WM_NCDESTROY) {
    // The window is going; nothing may reach the application through it now.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  LauncherApp* app = AppOf(window);
  if (app != nullptr) {
    for (const Route& route : kRoutes) {
      if (route.message == message) {
        route.handler(*app, window, wParam, lParam);
        return 0;
      }
    }
    if (message == WM_ERASEBKGND) return OnEraseBackground(*app, window, wParam, lParam);
    if (message == TaskbarCreatedMessage()) {
      app->OnTaskbarCreated();
      return 0;
    }
    if (message == ShowPanelMessage()) {
      OnShowPanel(*app, window, wParam, lParam);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LauncherApp::LauncherApp() = default;

LauncherApp::~LauncherApp() {
  RemoveTrayIcon();
}

int LauncherApp::Start(HINSTANCE moduleInstance) {
  instance = moduleInstance;
  mainWindow = CreateMainWindow();
  if (mainWindow == nullptr) return 0;
  RemoveTrayIcon();
  AddTrayIcon();
  return panel.Initialize(instance, mainWindow) == 1 ? 1 : 0;
}

HWND LauncherApp::CreateMainWindow() {
  WNDCLASSW wc = {};
  wc.lpszClassName = kClassName;
  wc.style = CS_PARENTDC | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;
  wc.lpfnWndProc = MainWindowProc;
  wc.cbWndExtra = 4;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_NUBOTESA));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  // A class registered by an earlier application object of this process (the
  // tests make several) serves as well.
  if (RegisterClassW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  TaskbarCreatedMessage();
  // Made where the settings place the panel and top-most when they ask for
  // it, so that the first show need not move it (LauncherPanel::PlaceAtStart).
  const PanelSettings& s = panel.settings;
  const DWORD topMost = s.TopMost != 0 ? WS_EX_TOPMOST : 0;
  HWND window = CreateWindowExW(
      WS_EX_DLGMODALFRAME | WS_EX_ACCEPTFILES | WS_EX_TOOLWINDOW | topMost, kClassName,
      platform::WideText(kWindowTitle).get(), WS_POPUP | WS_THICKFRAME, s.Left, s.Top,
      s.Right - s.Left, s.Bottom - s.Top, nullptr, nullptr, instance, this);
  if (window == nullptr) return nullptr;
  ShowWindow(window, SW_HIDE);
  return window;
}

void LauncherApp::AddTrayIcon() {
  trayIcon.reset(new (std::nothrow) NOTIFYICONDATAW{});
  if (!trayIcon) return;
  trayIconImage.reset(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_NUBOTESA), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
  NOTIFYICONDATAW& n = *trayIcon;
  n.cbSize = NOTIFYICONDATAW_V1_SIZE;
  n.hWnd = mainWindow;
  n.uID = kTrayIconId;
  n.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  n.uCallbackMessage = kTrayMessage;
  n.hIcon = trayIconImage.get();
  platform::WideOf(kTrayTip, n.szTip, sizeof n.szTip / sizeof n.szTip[0]);
  trayRetries = 0;
  if (!Shell_NotifyIconW(NIM_ADD, &n)) SetTimer(mainWindow, kTrayRetryTimerId, 500, nullptr);
}

// For a minute at most; an icon that is there by now (an add that answered
// late) is taken as added.
void LauncherApp::RetryTrayIcon() {
  constexpr int kMaxRetries = 120;
  if (!trayIcon || Shell_NotifyIconW(NIM_MODIFY, trayIcon.get()) ||
      Shell_NotifyIconW(NIM_ADD, trayIcon.get()) || ++trayRetries >= kMaxRetries) {
    KillTimer(mainWindow, kTrayRetryTimerId);
  }
}

void LauncherApp::RemoveTrayIcon() {
  if (!trayIcon) return;
  Shell_NotifyIconW(NIM_DELETE, trayIcon.get());
  trayIcon.reset();
  trayIconImage.reset();
}

void LauncherApp::OnTaskbarCreated() {
  if (trayIcon) Shell_NotifyIconW(NIM_ADD, trayIcon.get());
}
