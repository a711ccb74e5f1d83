// The attached monitors, primary first, fed to the screen choice.
#include <windows.h>

#include <vector>

#include "panel/screen_choice.h"

namespace {

grid::Rect FromRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) noexcept {
  auto* screens = reinterpret_cast<std::vector<grid::Rect>*>(list);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info) == 0) return TRUE;
  // The whole monitor, task bar included, as the desktop window covers it.
  const grid::Rect r = FromRect(info.rcMonitor);
  if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
    screens->insert(screens->begin(), r);
  } else {
    screens->push_back(r);
  }
  return TRUE;
}

}  // namespace

namespace screens {

grid::Rect ScreenRectFor(const grid::Rect& window) {
  RECT desktop = {};
  GetWindowRect(GetDesktopWindow(), &desktop);
  std::vector<grid::Rect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  // One screen (or none reported): the desktop window, as it always was.
  if (monitors.size() < 2) return FromRect(desktop);
  return ScreenFor(window, monitors, FromRect(desktop));
}

}  // namespace screens
