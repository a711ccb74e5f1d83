#include "panel/tool_tip_window.h"

#include <cstring>

#include "panel/label_geometry.h"
#include "panel/screen_choice.h"
#include "platform/wide_names.h"
#include "platform/win_handles.h"

namespace {

// CS_PARENTDC | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW, as the main window's
// class.
constexpr UINT kClassStyle = 0x3080;
// WS_EX_ACCEPTFILES | WS_EX_TOOLWINDOW: dropped files get default handling.
constexpr DWORD kExStyle = 0x90;

bool RegisterLabelClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSW wc = {};
  wc.style = kClassStyle;
  wc.lpfnWndProc = ToolTipWindowProc;
  // The label pointer lives in GWLP_USERDATA; these bytes stay unused.
  wc.cbWndExtra = 4;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  if (RegisterClassW(&wc) != 0) return true;
  // A second label in the same module reuses the class.
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

grid::Rect FromRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// The label's text as Windows takes it: a buffer without a terminator is
// taken whole.
platform::WideText WideTextOf(const char (&text)[260]) {
  char terminated[sizeof text + 1];
  std::memcpy(terminated, text, sizeof text);
  terminated[sizeof text] = '\0';
  return platform::WideText(terminated);
}

ToolTipWindow* LabelOf(HWND window) {
  return reinterpret_cast<ToolTipWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT OnCreate(HWND window, LPARAM lParam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  SetTimer(window, kToolTipTimerId, kToolTipTimerPeriod, nullptr);
  return 0;
}

LRESULT OnPaint(const ToolTipWindow& label, HWND window) {
  platform::PaintScope paint(window);
  RECT client = {};
  GetClientRect(window, &client);
  DrawEdge(paint.get(), &client, EDGE_RAISED, BF_RECT);
  const platform::WideText text = WideTextOf(label.text);
  TextOutW(paint.get(), label::kTextX, label::kTextY, text.get(), lstrlenW(text.get()));
  return 0;
}

LRESULT OnTimer(ToolTipWindow& label, HWND window) {
  // Any timer counts; there is only the one.
  ++label.ticks;
  if (label.ticks > 1) {
    label.ticks = 0;
    ShowWindow(window, SW_HIDE);
  }
  return 0;
}

// The window is gone: the record must not keep a handle that may be reused.
void OnNcDestroy(ToolTipWindow& label, HWND window) {
  if (label.window == window) label.window = nullptr;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

}  // namespace

HWND ToolTipWindow::Create(const char* className) {
  window = nullptr;
  const platform::WideText name(className);
  if (!RegisterLabelClass(instance, name.get())) return nullptr;
  HWND created = CreateWindowExW(kExStyle, name.get(), name.get(), WS_POPUP, 0, 0, 0, 0, owner,
                                 nullptr, instance, this);
  if (created == nullptr) return nullptr;
  window = created;
  ShowWindow(window, SW_HIDE);
  return window;
}

void ToolTipWindow::Destroy() {
  if (window == nullptr) return;
  KillTimer(window, kToolTipTimerId);
  DestroyWindow(window);
  window = nullptr;
}

void ToolTipWindow::KeepOnScreen() {
  if (window == nullptr) return;
  RECT own = {};
  GetWindowRect(window, &own);
  // The screen that holds the largest part of the label.
  const grid::Rect kept = label::KeepOnScreen(FromRect(own), screens::ScreenRectFor(FromRect(own)));
  MoveWindow(window, kept.left, kept.top, kept.Width(), kept.Height(), TRUE);
}

void ToolTipWindow::ShowText(const char* title, int centreX, int top) {
  label::FrameTitle(text, sizeof text, title != nullptr ? title : "");
  if (window == nullptr) return;
  SIZE extent = {};
  {
    platform::WindowDc dc(window);
    const platform::WideText wide = WideTextOf(text);
    GetTextExtentPoint32W(dc.get(), wide.get(), lstrlenW(wide.get()), &extent);
  }
  // The place below the cell, kept on the screen that holds most of it,
  // reached in one step: each move of a window is a round trip to the display
  // server.
  const grid::Rect placed = label::PlaceBelow(centreX, top, extent.cx, extent.cy);
  const grid::Rect kept = label::KeepOnScreen(placed, screens::ScreenRectFor(placed));
  // Shown on top of its owner without activation: hovering the panel must not
  // take the keyboard focus from the program the user is typing into.
  SetWindowPos(window, HWND_TOP, kept.left, kept.top, kept.Width(), kept.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(window, nullptr, TRUE);
  ticks = 0;
}

void ToolTipWindow::Hide() {
  ticks = 0;
  if (window != nullptr) ShowWindow(window, SW_HIDE);
}

LRESULT CALLBACK ToolTipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return OnCreate(window, lParam);
  // Nothing is attached before WM_CREATE or after WM_NCDESTROY.
  ToolTipWindow* label = LabelOf(window);
  if (label == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      return OnPaint(*label, window);
    case WM_COMMAND:
      return 0;
    case WM_TIMER:
      return OnTimer(*label, window);
    case WM_NCDESTROY:
      OnNcDestroy(*label, window);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
