// Keeping the panel window on whole cells and on the screen.
#include "panel/grid_geometry.h"
#include "panel/launcher_panel.h"

namespace {

grid::Rect ToGrid(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

grid::Rect WindowRect(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return ToGrid(r);
}

grid::Rect DesktopRect() {
  return WindowRect(GetDesktopWindow());
}

void MoveTo(HWND window, const grid::Rect& r) {
  MoveWindow(window, r.left, r.top, r.Width(), r.Height(), TRUE);
}

}  // namespace

void LauncherPanel::ClampAndSave() {
  const grid::Rect desktop = DesktopRect();
  grid::Rect w = WindowRect(window);
  if (settings.Area != 0) w = grid::KeepOnDesktop(w, desktop);
  MoveTo(window, w);
  settings.Left = w.left;
  settings.Top = w.top;
  settings.Right = w.right;
  settings.Bottom = w.bottom;
  settings.Save();
}

void LauncherPanel::SnapToGrid() {
  const int c = CellSize();
  if (settings.Area == 1) {
    MoveTo(window, grid::FitWiderThanDesktop(WindowRect(window), DesktopRect(), c));
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
