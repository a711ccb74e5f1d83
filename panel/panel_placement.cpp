// Keeping the panel window on whole cells and on the screen.
#include "panel/grid_geometry.h"
#include "panel/launcher_panel.h"
#include "panel/screen_choice.h"

namespace {

grid::Rect ToGrid(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

grid::Rect WindowRect(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return ToGrid(r);
}

// A window already there is left alone: moving it to where it is still costs
// a round trip to the display.
void MoveTo(HWND window, const grid::Rect& r) {
  if (WindowRect(window) == r) return;
  MoveWindow(window, r.left, r.top, r.Width(), r.Height(), TRUE);
}

}  // namespace

// The application makes its window where the settings place it, top-most when
// they ask for it (LauncherApp::CreateMainWindow). Only a window Windows made
// elsewhere (smaller than its frame allows at creation) or one that belongs
// below the others is moved: under Wine each call costs a round trip to the
// display. Stacking order and place go in one call.
void LauncherPanel::PlaceAtStart() {
  const grid::Rect wanted = {settings.Left, settings.Top, settings.Right, settings.Bottom};
  const bool topMost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (settings.TopMost != 0 && topMost && WindowRect(window) == wanted) return;
  const HWND order = settings.TopMost != 0 ? HWND_TOPMOST : HWND_BOTTOM;
  SetWindowPos(window, order, wanted.left, wanted.top, wanted.Width(), wanted.Height(), 0);
}

// Both operations measure against the screen that holds the largest part of
// the window (the nearest one when it lies on none); on a single screen that
// is the desktop window's rectangle.
void LauncherPanel::ClampAndSave() {
  grid::Rect w = WindowRect(window);
  if (settings.Area != 0) w = grid::KeepOnDesktop(w, screens::ScreenRectFor(w));
  MoveTo(window, w);
  settings.Left = w.left;
  settings.Top = w.top;
  settings.Right = w.right;
  settings.Bottom = w.bottom;
  settings.SaveChanges();
}

void LauncherPanel::SnapToGrid() {
  const int c = CellSize();
  if (settings.Area == 1) {
    const grid::Rect w = WindowRect(window);
    MoveTo(window, grid::FitWiderThanDesktop(w, screens::ScreenRectFor(w), c));
  }
  RECT client;
  GetClientRect(window, &client);
  const grid::GridCells cells = grid::CellsFor(static_cast<std::uint32_t>(client.right),
                                               static_cast<std::uint32_t>(client.bottom), c);
  MoveTo(window, grid::SnappedWindow(WindowRect(window), client.right, client.bottom, cells, c));
  InvalidateRect(window, nullptr, TRUE);
  GridHeight = static_cast<std::int32_t>(cells.rows) * c;
  GridWidth = static_cast<std::int32_t>(cells.columns) * c;
  ClampAndSave();
}
