// A corpus of BMP files written by ImageMagick and by hand (made by
// tests/support/make_bmp_corpus.py; ctest names its folder in
// NUBO_BMP_CORPUS): each is loaded by the panel's real loader and painted over
// the whole grid and cell by cell, and must give the same pixels as the same
// picture stored as a plain 24-bit file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "panel/launcher_panel.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

using testutil::Canvas;

constexpr int kGridWidth = 128;  // 4 x 2 cells of 32 over a 13 x 7 picture
constexpr int kGridHeight = 64;
constexpr char kUnusable[] = "この画像は背景には使用できません";

std::string CorpusFolder() {
  const char* root = std::getenv("NUBO_BMP_CORPUS");
  if (root == nullptr) return "";
  std::string path = root;
  if (!path.empty() && path[0] == '/') {
    path = "Z:" + path;
    for (char& c : path) c = c == '/' ? '\\' : c;
  }
  return path;
}

// The whole grid, then every cell alone into a second canvas.
void PaintAll(LauncherPanel& panel, Canvas& whole, Canvas& cells) {
  whole.Fill(RGB(1, 2, 3));
  cells.Fill(RGB(1, 2, 3));
  panel.PaintBackground(whole.dc());
  const int c = panel.CellSize();
  for (int row = 0; row < kGridHeight / c; ++row) {
    for (int column = 0; column < kGridWidth / c; ++column) {
      panel.PaintCellBackground(cells.dc(), row * 128 + column);
    }
  }
}

// The first pixel that differs by more than `tolerance` in a channel, as
// text; empty when none does.
std::string FirstDifference(const Canvas& got, const Canvas& want, int tolerance) {
  for (int y = 0; y < kGridHeight; ++y) {
    for (int x = 0; x < kGridWidth; ++x) {
      const COLORREF g = got.Pixel(x, y), w = want.Pixel(x, y);
      if (std::abs(GetRValue(g) - GetRValue(w)) > tolerance ||
          std::abs(GetGValue(g) - GetGValue(w)) > tolerance ||
          std::abs(GetBValue(g) - GetBValue(w)) > tolerance) {
        return "at " + std::to_string(x) + "," + std::to_string(y) + " got " + testutil::Rgb(g) +
               ", the 24-bit file gives " + testutil::Rgb(w);
      }
    }
  }
  return "";
}

TEST(BmpCorpus, EveryFilePaintsLikeItsTwentyFourBitTwin) {
  const std::string folder = CorpusFolder();
  if (folder.empty()) GTEST_SKIP() << "NUBO_BMP_CORPUS is not set (ctest sets it)";
  std::ifstream list(folder + "\\corpus.txt");
  ASSERT_TRUE(list) << folder;
  ScopedTempDir dir;
  testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "1"}, {"Line", "0"}});
  LauncherPanel panel;
  panel.Hidden = 0;
  panel.GridWidth = kGridWidth;
  panel.GridHeight = kGridHeight;
  ASSERT_EQ(panel.CellSize(), 32);
  Canvas want(kGridWidth, kGridHeight), wantCells(kGridWidth, kGridHeight);
  Canvas got(kGridWidth, kGridHeight), gotCells(kGridWidth, kGridHeight);
  int shown = 0, refused = 0, lines = 0;
  std::string line;
  while (std::getline(list, line)) {
    std::istringstream fields(line);
    std::string name, reference;
    int tolerance = 0;
    fields >> name >> reference;
    if (name.empty()) continue;
    ++lines;
    MessageBoxAnswerer boxes;
    if (reference == "-") {
      EXPECT_EQ(panel.LoadWallpaper((folder + "\\" + name).c_str()), 0) << name;
      ASSERT_EQ(boxes.Seen().size(), 1u) << name;
      EXPECT_EQ(boxes.Seen()[0].text, kUnusable) << name;
      refused += boxes.Seen()[0].text == kUnusable;
      continue;
    }
    fields >> tolerance;
    ASSERT_EQ(panel.LoadWallpaper((folder + "\\" + reference).c_str()), 1) << reference;
    PaintAll(panel, want, wantCells);
    const int loaded = panel.LoadWallpaper((folder + "\\" + name).c_str());
    EXPECT_EQ(loaded, 1) << name << " was refused";
    EXPECT_TRUE(boxes.Seen().empty()) << name << ": " << boxes.Seen()[0].text;
    if (loaded != 1) continue;
    PaintAll(panel, got, gotCells);
    const std::string grid = FirstDifference(got, want, tolerance);
    const std::string cells = FirstDifference(gotCells, wantCells, tolerance);
    EXPECT_EQ(grid, "") << name << " over the grid";
    EXPECT_EQ(cells, "") << name << " under single cells";
    shown += grid.empty() && cells.empty();
  }
  EXPECT_GT(lines, 30);
  std::printf("bmp corpus: %d files, %d shown as their 24-bit twin, %d refused as meant\n", lines,
              shown, refused);
}

}  // namespace
