// Painting the grid: wallpaper or background brush, bevel lines, item icons
// and the highlighted cell under the pointer.
#include "panel/grid_geometry.h"
#include "panel/launcher_panel.h"
#include "panel/pointer_rules.h"

namespace {

const BITMAPINFOHEADER& HeaderOf(const WallpaperImage& w) {
  return *reinterpret_cast<const BITMAPINFOHEADER*>(w.Info.get());
}

void Polyline3(HDC dc, const grid::Point (&p)[3]) {
  MoveToEx(dc, p[0].x, p[0].y, nullptr);
  LineTo(dc, p[1].x, p[1].y);
  LineTo(dc, p[2].x, p[2].y);
}

}  // namespace

// Copies the exposed part of the composed grid (panel_compose.cpp).
void LauncherPanel::Paint() {
  DragImageHidden hidden(dragImageShown_);
  platform::PaintScope paint(window);
  PaintExposed(paint.get(), paint.info().rcPaint);
}

void LauncherPanel::DrawBevel(HDC dc, int x, int y) {
  const grid::Bevel bevel = grid::CellBevel({x, y}, CellSize());
  SelectObject(dc, GetStockObject(WHITE_PEN));
  Polyline3(dc, bevel.light);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  Polyline3(dc, bevel.dark);
}

void LauncherPanel::StretchWallpaper(HDC dc, int x, int y, int width, int height, int srcX,
                                     int srcY, int srcWidth, int srcHeight) {
  const BITMAPINFOHEADER& header = HeaderOf(wallpaper);
  // Pictures with a colour table carry RGB entries. Deeper pictures have no
  // table to index, except bit-field masks, which must be read as masks.
  const UINT usage = (header.biClrUsed != 0 || header.biCompression == BI_BITFIELDS)
                         ? DIB_RGB_COLORS
                         : DIB_PAL_COLORS;
  StretchDIBits(dc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, wallpaper.Pixels,
                reinterpret_cast<const BITMAPINFO*>(wallpaper.Info.get()), usage, SRCCOPY);
}

void LauncherPanel::PaintBackground(HDC dc) {
  if (Hidden == 1) return;
  if (WallpaperShown()) {
    const BITMAPINFOHEADER& header = HeaderOf(wallpaper);
    HPALETTE previous = nullptr;
    if (header.biClrUsed != 0 && wallpaper.Palette) {
      previous = SelectPalette(dc, wallpaper.Palette.get(), FALSE);
      RealizePalette(dc);
    }
    // A top-down picture says so with a negative height; it has as many rows.
    const LONG rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    StretchWallpaper(dc, 0, 0, GridWidth, GridHeight, 0, 0, header.biWidth, rows);
    // The palette leaves the context at once: the kept picture's context
    // outlives the wallpaper, which deletes its palette when it goes.
    if (previous != nullptr) SelectPalette(dc, previous, FALSE);
  } else {
    RECT grid = {0, 0, GridWidth, GridHeight};
    FillRect(dc, &grid, BackgroundBrush.get());
  }
  if (settings.Line != 1) return;
  const int c = CellSize();
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  for (int row = 0; row < GridHeight / c; ++row) {
    for (int column = 0; column < GridWidth / c; ++column) DrawBevel(dc, column * c, row * c);
  }
  SelectObject(dc, pen);
}

void LauncherPanel::PaintItems(HDC dc) {
  const int c = CellSize();
  for (int i = 0; i < items.ItemCount(); ++i) {
    std::int32_t key = 0;
    items.KeyAt(i, &key);
    if (!grid::CellOnScreen(key, c)) continue;
    const grid::Point o = grid::CellOrigin(key, c);
    if (IconReady(i)) ImageList_Draw(ImageList.get(), i, dc, o.x + 2, o.y + 2, ILD_TRANSPARENT);
  }
  // While an item is dragged no cell is hovered.
  if (DragState == pointer::kDragging) return;
  PaintItemCell(dc, PointerKey(), 0);
}

void LauncherPanel::PaintCellBackground(HDC dc, std::int32_t key) {
  if (Hidden == 1) return;
  RecomposeCell(key);
  const int c = CellSize();
  if (!grid::CellOnScreen(key, c)) return;
  const grid::Point o = grid::CellOrigin(key, c);
  RECT cell;
  if (WallpaperShown() && composedValid_ && background_ && CellInGrid(key, &cell)) {
    // The kept stretched wallpaper, bevel included, as the full paint drew it.
    // A cell's share of a picture with fewer pixels than the grid has cells
    // may be no whole source pixel, which a stretch of its own would not draw.
    BitBlt(dc, o.x, o.y, c, c, background_.dc(), o.x, o.y, SRCCOPY);
    return;
  }
  if (WallpaperShown()) {
    const BITMAPINFOHEADER& header = HeaderOf(wallpaper);
    const grid::SourceRect src =
        grid::WallpaperUnderCell(o, c, header.biWidth, header.biHeight, GridWidth, GridHeight);
    StretchWallpaper(dc, o.x, o.y, c, c, src.x, src.y, src.width, src.height);
  } else {
    RECT cell = {o.x, o.y, o.x + c - 1, o.y + c - 1};
    FillRect(dc, &cell, BackgroundBrush.get());
  }
  if (settings.Line != 1) return;
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  DrawBevel(dc, o.x, o.y);
  SelectObject(dc, pen);
}

void LauncherPanel::PaintItemCell(HDC dc, std::int32_t key, int normal) {
  int index = 0;
  if (!items.IndexOfKey(key, &index) || !grid::CellOnScreen(key, CellSize())) return;
  PaintCellBackground(dc, key);
  if (!IconReady(index)) return;
  const grid::Point o = grid::CellOrigin(key, CellSize());
  if (normal != 0) {
    ImageList_Draw(ImageList.get(), index, dc, o.x + 2, o.y + 2, ILD_TRANSPARENT);
  } else {
    ImageList_Draw(ImageList.get(), index, dc, o.x + 3, o.y + 3, ILD_BLEND50);
  }
}
