#include "panel/grid_geometry.h"

#include <cstdlib>

namespace grid {

std::int32_t CellKeyAt(std::uint32_t x, std::uint32_t y, int cellSize) {
  const std::uint32_t c = static_cast<std::uint32_t>(cellSize);
  return static_cast<std::int32_t>((y / c) * kColumnsPerRow + x / c);
}

Point DropPointInClient(Point given, Point pointer, bool inClient, const Rect& windowOnScreen,
                        Point clientOrigin, std::int32_t clientWidth, std::int32_t clientHeight) {
  auto within = [](const Rect& r, Point p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
  };
  auto onFrame = [&](Point screen) {
    const Rect client = {clientOrigin.x, clientOrigin.y, clientOrigin.x + clientWidth,
                         clientOrigin.y + clientHeight};
    return within(windowOnScreen, screen) && !within(client, screen);
  };
  auto distance = [&](Point screen) {
    return std::llabs(std::int64_t{screen.x} - pointer.x) +
           std::llabs(std::int64_t{screen.y} - pointer.y);
  };
  const Point asClient = {given.x + clientOrigin.x, given.y + clientOrigin.y};
  Point p = given;
  if (!inClient && onFrame(given) &&
      (!onFrame(asClient) || distance(given) <= distance(asClient))) {
    p = {given.x - clientOrigin.x, given.y - clientOrigin.y};
  }
  auto clamp = [](std::int32_t v, std::int32_t size) {
    return v < 0 || size <= 0 ? 0 : v >= size ? size - 1 : v;
  };
  return {clamp(p.x, clientWidth), clamp(p.y, clientHeight)};
}

Corner ExactCellOrigin(std::int32_t key, int cellSize) {
  return {std::int64_t{key % kColumnsPerRow} * cellSize,
          std::int64_t{key / kColumnsPerRow} * cellSize};
}

bool CellOnScreen(std::int32_t key, int cellSize) {
  const Corner c = ExactCellOrigin(key, cellSize);
  auto within = [](std::int64_t v) { return v >= -kMaxCoordinate - 1 && v <= kMaxCoordinate; };
  return within(c.x) && within(c.y);
}

Point CellOrigin(std::int32_t key, int cellSize) {
  const Corner c = ExactCellOrigin(key, cellSize);
  auto clamp = [](std::int64_t v) {
    return static_cast<std::int32_t>(v < -kFarAway ? -kFarAway : v > kFarAway ? kFarAway : v);
  };
  return {clamp(c.x), clamp(c.y)};
}

Rect KeepOnDesktop(Rect w, const Rect& d) {
  if (w.right > d.right) {
    w.left -= w.right - d.right;
    w.right = d.right;
  }
  if (w.bottom > d.bottom) {
    w.top -= w.bottom - d.bottom;
    w.bottom = d.bottom;
  }
  if (w.left < d.left) {
    w.right += d.left - w.left;
    w.left = d.left;
  }
  if (w.top < d.top) {
    w.bottom += d.top - w.top;
    w.top = d.top;
  }
  return w;
}

Rect FitWiderThanDesktop(Rect w, const Rect& d, int cellSize) {
  if (w.Width() > d.Width()) {
    w.left = d.left;
    w.right = d.right - cellSize;
  }
  if (w.Height() > d.Height()) {
    w.top = d.top;
    w.bottom = d.bottom - cellSize;
  }
  return w;
}

GridCells CellsFor(std::uint32_t clientWidth, std::uint32_t clientHeight, int cellSize) {
  const std::uint32_t c = static_cast<std::uint32_t>(cellSize);
  GridCells cells{(clientHeight + c - 1) / c, (clientWidth + c - 1) / c};
  if (cells.rows == 0) cells.rows = 1;
  if (cells.columns == 0) cells.columns = 1;
  return cells;
}

Rect SnappedWindow(Rect w, std::int32_t clientWidth, std::int32_t clientHeight, GridCells cells,
                   int cellSize) {
  w.bottom += static_cast<std::int32_t>(cells.rows) * cellSize - clientHeight;
  w.right += static_cast<std::int32_t>(cells.columns) * cellSize - clientWidth;
  return w;
}

Bevel CellBevel(Point o, int c) {
  return Bevel{{{o.x, o.y + c - 3}, {o.x, o.y}, {o.x + c - 3, o.y}},
               {{o.x, o.y + c - 2}, {o.x + c - 2, o.y + c - 2}, {o.x + c - 2, o.y}}};
}

SourceRect WallpaperUnderCell(Point o, int c, std::int32_t imageWidth, std::int32_t imageHeight,
                              std::int32_t gridWidth, std::int32_t gridHeight) {
  if (gridWidth <= 0 || gridHeight <= 0) return {0, 0, 0, 0};
  // 64-bit products: a large picture times a far cell overflows 32 bits.
  auto scale = [](std::int64_t a, std::int64_t b, std::int64_t d) {
    return static_cast<std::int32_t>(a * b / d);
  };
  const std::int64_t height = imageHeight < 0 ? -std::int64_t{imageHeight} : imageHeight;
  return {scale(o.x, imageWidth, gridWidth), scale(gridHeight - c - o.y, height, gridHeight),
          scale(c, imageWidth, gridWidth), scale(c, height, gridHeight)};
}

}  // namespace grid
