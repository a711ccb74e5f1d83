// Grid arithmetic of the launcher panel: cell keys, snapping the window to
// whole cells, keeping it on the desktop, bevel lines and the part of the
// wallpaper under one cell. No window system here: plain numbers in, plain
// numbers out.
#pragma once

#include <cstdint>

namespace grid {

// Keys name cells as row * 128 + column.
constexpr std::int32_t kColumnsPerRow = 128;
constexpr std::int32_t kNoCell = -1;

// Cell sizes the panel can work with. Icons are (cell - 8) pixels square.
constexpr int kMinCellSize = 24;
constexpr int kMaxCellSize = 168;

struct Rect {
  std::int32_t left, top, right, bottom;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

struct Point {
  std::int32_t x, y;
};

// The key of the cell under client point (x, y). The coordinates arrive as
// unsigned 16-bit values (a point left of or above the client area is a large
// number) and are divided as unsigned integers; no bound is applied, so a
// column of 128 or more runs into the next row's keys.
std::int32_t CellKeyAt(std::uint32_t x, std::uint32_t y, int cellSize);

// The client point a drop acts on. `given` is the point the shell reports;
// `inClient` false says the drop landed outside the client area, on the
// frame: Windows then reports screen coordinates, Wine client ones, so the
// screen reading is taken when it lies on the window's frame. Where both
// readings lie on the frame, the one nearer `pointer` (the pointer's screen
// position at the drop) is taken. The result is the nearest point inside the
// client area (`clientOrigin` on screen, of `clientWidth` x `clientHeight`):
// the drop acts on the nearest cell shown.
Point DropPointInClient(Point given, Point pointer, bool inClient, const Rect& windowOnScreen,
                        Point clientOrigin, std::int32_t clientWidth, std::int32_t clientHeight);

// The top-left corner of a key's cell in client coordinates, exactly: keys
// come from the item file, and a row of millions times the cell size does not
// fit 32 bits.
struct Corner {
  std::int64_t x, y;
};
Corner ExactCellOrigin(std::int32_t key, int cellSize);

// Window coordinates are 16-bit: no screen shows a point beyond this.
constexpr std::int64_t kMaxCoordinate = 32767;

// Whether a key's cell can show on any screen: its corner lies within the
// coordinates windows use. Painting skips the other cells.
bool CellOnScreen(std::int32_t key, int cellSize);

// The corner in 32 bits: exact for a cell on screen; any other comes out
// clamped to kFarAway, outside every screen, where adding a few cell sizes
// still cannot overflow.
constexpr std::int32_t kFarAway = 1 << 24;
Point CellOrigin(std::int32_t key, int cellSize);

// Shifts `window` onto `desktop` without changing its size: right, bottom,
// then left, top, so that a window larger than the desktop ends with its left
// and top edges on the desktop's.
Rect KeepOnDesktop(Rect window, const Rect& desktop);

// Before snapping with keep-on-screen on: a window wider (taller) than the
// desktop goes to the desktop's left (top) edge and ends one cell short of its
// right (bottom) edge.
Rect FitWiderThanDesktop(Rect window, const Rect& desktop, int cellSize);

// Whole cells covering a client area: a partial cell counts as a whole one,
// and an empty area still gets one cell.
struct GridCells {
  std::uint32_t rows, columns;
};
GridCells CellsFor(std::uint32_t clientWidth, std::uint32_t clientHeight, int cellSize);

// The window rectangle that makes the client area exactly `cells`, the frame
// keeping its size.
Rect SnappedWindow(Rect window, std::int32_t clientWidth, std::int32_t clientHeight,
                   GridCells cells, int cellSize);

// The two polylines of a cell's bevel: light (bottom-left up to top-left,
// along to top-right) and dark (bottom-left along to bottom-right, up to
// top-right). Each has three points; end points are not drawn.
struct Bevel {
  Point light[3];
  Point dark[3];
};
Bevel CellBevel(Point origin, int cellSize);

// The part of a W x H wallpaper, stretched over a gridWidth x gridHeight grid,
// that lies under the cell at `origin`. H below 0 (as the header says it) is a
// top-down picture of -H rows. `y` counts up from the picture's bottom edge
// either way: the platform's DIB stretching counts source rows so for
// top-down pictures too.
struct SourceRect {
  std::int32_t x, y, width, height;
};
SourceRect WallpaperUnderCell(Point origin, int cellSize, std::int32_t imageWidth,
                              std::int32_t imageHeight, std::int32_t gridWidth,
                              std::int32_t gridHeight);

}  // namespace grid
