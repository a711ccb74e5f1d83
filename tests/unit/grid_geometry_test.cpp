#include "panel/grid_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace grid {
std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace grid

namespace {

using grid::Rect;

TEST(GridGeometry, CellKeys) {
  struct Case {
    std::uint32_t x, y;
    int cell;
    std::int32_t key;
  } cases[] = {
      {0, 0, 32, 0},
      {31, 31, 32, 0},
      {32, 0, 32, 1},
      {0, 32, 32, 128},
      {100, 70, 32, 2 * 128 + 3},
      {65534, 0, 32, 2047},  // a point 2 pixels left of the panel, as unsigned
      {0, 65534, 24, 2730 * 128},
      {128 * 24, 0, 24, 128},  // column 128 runs into the next row
  };
  for (const Case& c : cases) {
    EXPECT_EQ(grid::CellKeyAt(c.x, c.y, c.cell), c.key)
        << "x " << c.x << " y " << c.y << " cell " << c.cell;
  }
  const grid::Point o = grid::CellOrigin(2 * 128 + 3, 40);
  EXPECT_EQ(o.x, 120);
  EXPECT_EQ(o.y, 80);
}

// Drops on the frame of a window at (100, 200), its 256 x 96 client area at
// (104, 204): in screen coordinates from Windows, in client ones from Wine.
// Near the screen's corner, at (0, 0), a point can read as either; the
// pointer, where the drop happened, tells which.
TEST(GridGeometry, DropsOnTheFrameActOnTheNearestCellShown) {
  const int cases[][8] = {
      // given, pointer, window's left-top, result
      {101, 250, 101, 250, 100, 200, 0, 46},
      {150, 201, 150, 201, 100, 200, 46, 0},
      {362, 302, 362, 302, 100, 200, 255, 95},
      {-3, 46, 101, 250, 100, 200, 0, 46},
      {46, -3, 150, 201, 100, 200, 46, 0},
      {258, 98, 362, 302, 100, 200, 255, 95},
      {2, 98, 2, 98, 0, 0, 0, 94},
      {2, 98, 6, 102, 0, 0, 2, 95},
  };
  for (const auto& c : cases) {
    const grid::Point p = grid::DropPointInClient({c[0], c[1]}, {c[2], c[3]}, false,
                                                  {c[4], c[5], c[4] + 264, c[5] + 104},
                                                  {c[4] + 4, c[5] + 4}, 256, 96);
    EXPECT_EQ(p.x * 1000 + p.y, c[6] * 1000 + c[7])
        << "drop at " << c[0] << ", " << c[1] << ", pointer at " << c[2] << ", " << c[3];
  }
}

// Keys from a damaged item file meet the largest and smallest cells; the
// sanitizers of the native build catch any overflow.
TEST(GridGeometry, ExtremeKeysNeverOverflowAndFarCellsAreOffScreen) {
  struct Case {
    std::int32_t key;
    int cell;
    std::int64_t x, y;
    bool onScreen;
  } cases[] = {
      {0, 168, 0, 0, true},
      {-1, 24, -24, 0, true},  // C++ remainder: a column left of the panel
      {INT32_MAX, 168, 127 * 168, std::int64_t{16777215} * 168, false},
      {INT32_MIN, 168, 0, std::int64_t{-16777216} * 168, false},
      {INT32_MIN + 1, 24, -127 * 24, std::int64_t{-16777215} * 24, false},
      {195 * 128 + 5, 168, 5 * 168, 195 * 168, true},  // last row whose corner fits
      {196 * 128, 168, 0, 196 * 168, false},
      {-196 * 128, 168, 0, -196 * 168, false},
      {-195 * 128, 168, 0, -195 * 168, true},
      {1365 * 128 + 127, 24, 127 * 24, 1365 * 24, true},
      {1366 * 128, 24, 0, 1366 * 24, false},
  };
  for (const Case& c : cases) {
    const grid::Corner exact = grid::ExactCellOrigin(c.key, c.cell);
    const grid::Point o = grid::CellOrigin(c.key, c.cell);
    EXPECT_TRUE(exact.x == c.x && exact.y == c.y)
        << "key " << c.key << " cell " << c.cell << ": " << exact.x << "," << exact.y;
    EXPECT_EQ(grid::CellOnScreen(c.key, c.cell), c.onScreen) << "key " << c.key;
    // Exact up to kFarAway, clamped beyond.
    const std::int64_t far = grid::kFarAway;
    const std::int64_t y = c.y < -far ? -far : c.y > far ? far : c.y;
    EXPECT_TRUE(o.x == c.x && o.y == y) << "key " << c.key << ": " << o.x << "," << o.y;
    // What painting adds to a corner stays in 32 bits.
    const grid::Bevel b = grid::CellBevel(o, c.cell);
    EXPECT_LT(b.dark[1].y, INT32_MAX - 168) << "key " << c.key;
  }
}

TEST(GridGeometry, KeepOnDesktop) {
  const Rect desktop{0, 0, 1280, 1024};
  struct Case {
    const char* what;
    Rect window, expected;
  } cases[] = {
      {"inside", {100, 100, 300, 300}, {100, 100, 300, 300}},
      {"50 past the right edge", {1130, 10, 1330, 210}, {1080, 10, 1280, 210}},
      {"past the bottom", {10, 900, 110, 1100}, {10, 824, 110, 1024}},
      {"above the top", {10, -40, 110, 60}, {10, 0, 110, 100}},
      {"left of the desktop", {-300, 10, -100, 110}, {0, 10, 200, 110}},
      {"larger than the desktop", {-10, -10, 1400, 1100}, {0, 0, 1410, 1110}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(grid::KeepOnDesktop(c.window, desktop), c.expected) << c.what;
  }
  // A desktop that starts left of and above the origin.
  EXPECT_EQ(grid::KeepOnDesktop({-2000, -50, -1800, 50}, {-1920, -100, 1280, 1024}),
            (Rect{-1920, -50, -1720, 50}));
}

TEST(GridGeometry, FitWiderThanDesktop) {
  const Rect desktop{0, 0, 1280, 1024};
  EXPECT_EQ(grid::FitWiderThanDesktop({100, 100, 300, 300}, desktop, 32),
            (Rect{100, 100, 300, 300}));
  EXPECT_EQ(grid::FitWiderThanDesktop({-50, 100, 1400, 300}, desktop, 32),
            (Rect{0, 100, 1248, 300}));
  EXPECT_EQ(grid::FitWiderThanDesktop({10, -5, 300, 1100}, desktop, 40), (Rect{10, 0, 300, 984}));
  // Exactly as wide as the desktop is not wider.
  EXPECT_EQ(grid::FitWiderThanDesktop({0, 0, 1280, 10}, desktop, 32), (Rect{0, 0, 1280, 10}));
}

TEST(GridGeometry, CellsRoundUpAndNeverVanish) {
  struct Case {
    std::uint32_t w, h;
    int cell;
    std::uint32_t rows, columns;
  } cases[] = {
      {3 * 32 + 1, 4 * 32 + 1, 32, 5, 4},
      {96, 128, 32, 4, 3},
      {0, 0, 32, 1, 1},
      {1, 1, 168, 1, 1},
      {255, 199, 32, 7, 8},
      {264, 200, 24, 9, 11},
  };
  for (const Case& c : cases) {
    const grid::GridCells cells = grid::CellsFor(c.w, c.h, c.cell);
    EXPECT_EQ(cells.rows, c.rows) << c.w << "x" << c.h << " cell " << c.cell;
    EXPECT_EQ(cells.columns, c.columns) << c.w << "x" << c.h << " cell " << c.cell;
  }
}

TEST(GridGeometry, SnappedWindowKeepsTheFrame) {
  // A 4-pixel frame around a 97 x 129 client area becomes 4 x 5 cells of 32.
  const Rect window{10, 20, 10 + 97 + 8, 20 + 129 + 8};
  const Rect snapped = grid::SnappedWindow(window, 97, 129, {5, 4}, 32);
  EXPECT_EQ(snapped, (Rect{10, 20, 10 + 128 + 8, 20 + 160 + 8}));
}

TEST(GridGeometry, BevelLeavesTheLastRowAndColumn) {
  const grid::Bevel b = grid::CellBevel({32, 64}, 32);
  EXPECT_EQ(b.light[0].x, 32);
  EXPECT_EQ(b.light[0].y, 64 + 29);
  EXPECT_EQ(b.light[2].x, 32 + 29);
  EXPECT_EQ(b.dark[1].x, 32 + 30);
  EXPECT_EQ(b.dark[1].y, 64 + 30);
  EXPECT_EQ(b.dark[2].y, 64);
}

TEST(GridGeometry, WallpaperUnderACell) {
  struct Case {
    const char* what;
    grid::Point origin;
    int cell;
    std::int32_t imageW, imageH, gridW, gridH;
    grid::SourceRect expected;
  } cases[] = {
      {"top-left cell, image twice the grid", {0, 0}, 32, 512, 384, 256, 192, {0, 320, 64, 64}},
      {"second column", {32, 0}, 32, 512, 384, 256, 192, {64, 320, 64, 64}},
      {"bottom-right cell", {224, 160}, 32, 512, 384, 256, 192, {448, 0, 64, 64}},
      {"image smaller than the grid", {40, 40}, 40, 100, 50, 400, 200, {10, 30, 10, 10}},
      {"top-down image: rows still counted from the bottom",
       {32, 0},
       32,
       512,
       -384,
       256,
       192,
       {64, 320, 64, 64}},
      {"large picture, far cell",
       {4000, 4000},
       168,
       30000,
       30000,
       8000,
       8000,
       {15000, 14370, 630, 630}},
  };
  for (const Case& c : cases) {
    const grid::SourceRect s =
        grid::WallpaperUnderCell(c.origin, c.cell, c.imageW, c.imageH, c.gridW, c.gridH);
    EXPECT_EQ(s.x, c.expected.x) << c.what;
    EXPECT_EQ(s.y, c.expected.y) << c.what;
    EXPECT_EQ(s.width, c.expected.width) << c.what;
    EXPECT_EQ(s.height, c.expected.height) << c.what;
  }
}

}  // namespace
