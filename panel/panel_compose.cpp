// The composed grid: background, bevels and every item's icon drawn once into
// an off-screen bitmap of the grid's size, so that a paint message copies only
// the exposed rectangle whatever the number of items. The picture is composed
// again when anything it was made from changes (grid or cell size, lines, the
// wallpaper, the brush, the image list: LookChanged); single cells follow the
// items through PaintCellBackground and PaintItemCell, which every change to
// an item's cell calls, and through the icons as they arrive.
//
// Memory: 4 bytes a pixel of the grid (1280 x 800: 4,000 KB), twice that with
// a wallpaper, whose stretched picture is kept to restore single cells from.
// Both are made at the first paint and kept while the grid keeps its size, so
// that showing the panel again does not fault fresh pages in.
#include "panel/grid_geometry.h"
#include "panel/launcher_panel.h"
#include "panel/pointer_rules.h"

bool LauncherPanel::ComposedLook::operator==(const ComposedLook& o) const {
  return width == o.width && height == o.height && cell == o.cell && line == o.line &&
         generation == o.generation;
}

LauncherPanel::ComposedLook LauncherPanel::CurrentLook() const {
  ComposedLook look;
  look.width = GridWidth;
  look.height = GridHeight;
  look.cell = CellSize();
  look.line = settings.Line == 1 ? 1 : 0;
  look.generation = lookGeneration_;
  return look;
}

bool LauncherPanel::CellInGrid(std::int32_t key, RECT* cell) const {
  const int c = CellSize();
  const grid::Point o = grid::CellOrigin(key, c);
  *cell = {o.x, o.y, o.x + c, o.y + c};
  return o.x < GridWidth && o.y < GridHeight && o.x + c > 0 && o.y + c > 0;
}

void LauncherPanel::DrawIconsAt(HDC dc, std::int32_t key) {
  // Every record of the cell, in record order, as a full paint draws them.
  for (int i = 0; i < items.ItemCount(); ++i) {
    std::int32_t k = 0;
    items.KeyAt(i, &k);
    if (k != key || !IconReady(i)) continue;
    const grid::Point o = grid::CellOrigin(k, CellSize());
    ImageList_Draw(ImageList.get(), i, dc, o.x + 2, o.y + 2, ILD_TRANSPARENT);
  }
}

bool LauncherPanel::EnsureComposed(HDC like) {
  if (Hidden == 1 || GridWidth <= 0 || GridHeight <= 0) return false;
  const ComposedLook look = CurrentLook();
  if (composedValid_ && look == composedLook_) return true;
  composedValid_ = false;
  if (!composed_.Resize(like, GridWidth, GridHeight)) return false;
  if (WallpaperShown()) {
    if (!background_.Resize(like, GridWidth, GridHeight)) return false;
    PaintBackground(background_.dc());
    BitBlt(composed_.dc(), 0, 0, GridWidth, GridHeight, background_.dc(), 0, 0, SRCCOPY);
  } else {
    background_.Reset();
    PaintBackground(composed_.dc());
  }
  for (int i = 0; i < items.ItemCount(); ++i) {
    std::int32_t key = 0;
    items.KeyAt(i, &key);
    RECT cell;
    if (!CellInGrid(key, &cell) || !IconReady(i)) continue;
    ImageList_Draw(ImageList.get(), i, composed_.dc(), cell.left + 2, cell.top + 2,
                   ILD_TRANSPARENT);
  }
  composedLook_ = look;
  composedValid_ = true;
  return true;
}

void LauncherPanel::RecomposeCell(std::int32_t key) {
  if (!composedValid_) return;
  if (Hidden == 1 || !(CurrentLook() == composedLook_)) {
    composedValid_ = false;
    return;
  }
  RECT cell;
  if (!CellInGrid(key, &cell)) return;
  HDC dc = composed_.dc();
  const int c = CellSize();
  if (background_) {
    BitBlt(dc, cell.left, cell.top, c, c, background_.dc(), cell.left, cell.top, SRCCOPY);
  } else {
    // The brush background: the cell's last row and column are never drawn on.
    RECT inner = {cell.left, cell.top, cell.right - 1, cell.bottom - 1};
    FillRect(dc, &inner, BackgroundBrush.get());
    if (settings.Line == 1) {
      HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
      DrawBevel(dc, cell.left, cell.top);
      SelectObject(dc, pen);
    }
  }
  DrawIconsAt(dc, key);
}

void LauncherPanel::ShowCell(std::int32_t key) {
  if (Hidden == 1 || window == nullptr) return;
  DragImageHidden hidden(dragImageShown_);
  platform::WindowDc dc(window);
  RECT cell;
  // While an item is dragged no cell is hovered: the cell under the pointer
  // is drawn as the others are.
  const bool pointed = DragState != pointer::kDragging && key == PointerKey();
  // Recomposing first: a picture made before the look changed is dropped
  // there, and the cell is then drawn straight.
  if (composedValid_ && !pointed) RecomposeCell(key);
  if (composedValid_ && CellInGrid(key, &cell) && !pointed) {
    BitBlt(dc.get(), cell.left, cell.top, CellSize(), CellSize(), composed_.dc(), cell.left,
           cell.top, SRCCOPY);
    return;
  }
  PaintItemCell(dc.get(), key, pointed ? 0 : 1);
}

std::int32_t LauncherPanel::PointerKey() const {
  POINT pointer;
  GetCursorPos(&pointer);
  ScreenToClient(window, &pointer);
  return grid::CellKeyAt(static_cast<std::uint32_t>(pointer.x),
                         static_cast<std::uint32_t>(pointer.y), CellSize());
}

void LauncherPanel::PaintExposed(HDC dc, const RECT& exposed) {
  if (!EnsureComposed(dc)) {
    PaintBackground(dc);
    PaintItems(dc);
    return;
  }
  const RECT grid = {0, 0, GridWidth, GridHeight};
  RECT inside;
  if (IntersectRect(&inside, &exposed, &grid)) {
    BitBlt(dc, inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top,
           composed_.dc(), inside.left, inside.top, SRCCOPY);
  }
  if (!EqualRect(&inside, &exposed)) {
    // Beyond the grid (the window is larger than its grid until it snaps) the
    // icons are drawn one by one, as before.
    for (int i = 0; i < items.ItemCount(); ++i) {
      std::int32_t key = 0;
      items.KeyAt(i, &key);
      RECT cell, meet;
      if (CellInGrid(key, &cell) || !IntersectRect(&meet, &cell, &exposed) || !IconReady(i))
        continue;
      ImageList_Draw(ImageList.get(), i, dc, cell.left + 2, cell.top + 2, ILD_TRANSPARENT);
    }
  }
  const std::int32_t pointed = PointerKey();
  RECT cell, meet;
  CellInGrid(pointed, &cell);
  if (DragState != pointer::kDragging && IntersectRect(&meet, &cell, &exposed))
    PaintItemCell(dc, pointed, 0);
}

LauncherPanel::DragImageHidden::DragImageHidden(bool shown) : shown_(shown) {
  if (shown_) ImageList_DragShowNolock(FALSE);
}

LauncherPanel::DragImageHidden::~DragImageHidden() {
  if (shown_) ImageList_DragShowNolock(TRUE);
}

void LauncherPanel::ReleaseComposed() {
  composedValid_ = false;
  composed_.Reset();
  background_.Reset();
}

// The class brush erases only what lies beside the grid; the grid itself is
// covered by the paint that follows.
void LauncherPanel::EraseBesideGrid(HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
  if (Hidden == 1 || brush == nullptr) {
    if (brush != nullptr) FillRect(dc, &client, brush);
    return;
  }
  const RECT right = {GridWidth, 0, client.right, client.bottom};
  const RECT below = {0, GridHeight, GridWidth < client.right ? GridWidth : client.right,
                      client.bottom};
  if (right.left < right.right) FillRect(dc, &right, brush);
  if (below.top < below.bottom) FillRect(dc, &below, brush);
}
