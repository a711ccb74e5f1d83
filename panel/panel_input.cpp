// Entry points for the pointer. Only the cell bookkeeping is done here so far;
// pressing, dragging and hovering are not handled yet, and those messages
// change nothing.
#include "panel/grid_geometry.h"
#include "panel/launcher_panel.h"

void LauncherPanel::PointerMovedTo(std::uint32_t, std::uint32_t) {}

void LauncherPanel::PressAt(std::uint32_t, std::uint32_t) {}

void LauncherPanel::ReleaseAt(std::uint32_t, std::uint32_t) {}

void LauncherPanel::SetContextCell(std::uint32_t x, std::uint32_t y) {
  ContextKey = grid::CellKeyAt(x, y, CellSize());
}

int LauncherPanel::HasItemAt(std::uint32_t x, std::uint32_t y) const {
  return items.HasKey(grid::CellKeyAt(x, y, CellSize()));
}
