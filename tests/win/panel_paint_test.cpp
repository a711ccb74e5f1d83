// Painting checked on pixels: the panel's paint operations drawn into a
// memory canvas.
#include <windows.h>

#include <gtest/gtest.h>

#include "panel/launcher_panel.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/test_util.h"

namespace {

using testutil::Canvas;
using testutil::Rgb;

const COLORREF kBackground = RGB(158, 195, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// A solid red icon of `size` pixels.
HICON RedIcon(int size) {
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, colour);
  RECT all = {0, 0, size, size};
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(dc, &all, red);
  SelectObject(dc, mask);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));  // opaque everywhere
  SelectObject(dc, old);
  ICONINFO info = {TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(red);
  DeleteDC(dc);
  DeleteObject(mask);
  DeleteObject(colour);
  ReleaseDC(nullptr, screen);
  return icon;
}

class PanelPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Line", "0"}});
    panel.reset(new LauncherPanel);
    panel->Hidden = 0;
    panel->GridWidth = 128;
    panel->GridHeight = 96;
    panel->SetBackgroundBrush(CreateSolidBrush(kBackground));
    // Keep the pointer far from the grid so that nothing is highlighted.
    SetCursorPos(1279, 1023);
  }

  void AddRedItem(std::int32_t key) {
    const int size = panel->CellSize() - 8;
    if (!panel->ImageList) {
      panel->ImageList.reset(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 4, 2));
    }
    HICON icon = RedIcon(size);
    ImageList_ReplaceIcon(panel->ImageList.get(), -1, icon);
    DestroyIcon(icon);
    panel->items.Put(key, 0, "red", "C:\\red.exe", "C:\\", "C:\\red.exe");
  }

  ScopedTempDir dir;
  std::unique_ptr<LauncherPanel> panel;
  Canvas canvas{160, 128};
};

TEST_F(PanelPaintTest, BackgroundFillsTheGridWithTheBrushColour) {
  canvas.Fill(kBlack);
  panel->PaintBackground(canvas.dc());
  for (POINT p : {POINT{0, 0}, POINT{31, 31}, POINT{127, 95}, POINT{64, 40}}) {
    EXPECT_EQ(canvas.Pixel(p.x, p.y), kBackground)
        << p.x << "," << p.y << " " << Rgb(canvas.Pixel(p.x, p.y));
  }
  EXPECT_EQ(canvas.Pixel(128, 10), kBlack) << "painted beyond the grid";
  EXPECT_EQ(canvas.Pixel(10, 96), kBlack) << "painted beyond the grid";
}

TEST_F(PanelPaintTest, BevelsOnlyWithLinesOn) {
  struct Probe {
    int x, y;
    COLORREF withLines;
  } probes[] = {
      {0, 5, kWhite},        // light left edge
      {5, 0, kWhite},        // light top edge
      {0, 29, kWhite},       // the light line ends above y + c - 3
      {30, 5, kBlack},       // dark right edge at x + c - 2
      {5, 30, kBlack},       // dark bottom edge at y + c - 2
      {31, 5, kBackground},  // the cell's last column stays background
      {5, 31, kBackground},  // and its last row
      {32 + 30, 32 + 5, kBlack},
  };
  panel->settings.Line = 0;
  panel->PaintBackground(canvas.dc());
  for (const Probe& p : probes) {
    EXPECT_EQ(canvas.Pixel(p.x, p.y), kBackground) << "lines off at " << p.x << "," << p.y;
  }
  panel->settings.Line = 1;
  HGDIOBJ pen = GetCurrentObject(canvas.dc(), OBJ_PEN);
  panel->PaintBackground(canvas.dc());
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen) << "the pen was not restored";
  for (const Probe& p : probes) {
    EXPECT_EQ(canvas.Pixel(p.x, p.y), p.withLines)
        << "lines on at " << p.x << "," << p.y << " " << Rgb(canvas.Pixel(p.x, p.y));
  }
}

TEST_F(PanelPaintTest, NothingIsPaintedWhileHidden) {
  canvas.Fill(kBlack);
  panel->Hidden = 1;
  panel->PaintBackground(canvas.dc());
  panel->PaintCellBackground(canvas.dc(), 0);
  EXPECT_EQ(canvas.Pixel(5, 5), kBlack);
}

TEST_F(PanelPaintTest, ItemIconsSitTwoPixelsIntoTheirCells) {
  AddRedItem(1);    // column 1, row 0
  AddRedItem(130);  // column 2, row 1
  panel->PaintBackground(canvas.dc());
  panel->PaintItems(canvas.dc());
  EXPECT_EQ(canvas.Pixel(34, 2), kRed);
  EXPECT_EQ(canvas.Pixel(57, 25), kRed);  // 24 x 24 icon
  EXPECT_EQ(canvas.Pixel(33, 1), kBackground);
  EXPECT_EQ(canvas.Pixel(58, 26), kBackground);
  EXPECT_EQ(canvas.Pixel(66, 34), kRed);
  EXPECT_EQ(canvas.Pixel(2, 2), kBackground) << "an empty cell got an icon";
  SetCursorPos(40, 10);       // over cell 1: without a window the screen is the client area
  for (int state : {0, 2}) {  // highlighted, but not while an item is dragged
    panel->DragState = state, panel->PaintItems(canvas.dc());
    EXPECT_EQ(canvas.Pixel(34, 2) == kRed, state == 2) << "drag state " << state;
  }
}

TEST_F(PanelPaintTest, ItemsWithFarKeysAreNotDrawnAndTheOthersAre) {
  // Keys as a damaged item file may hold them, around an ordinary one.
  for (std::int32_t key : {INT32_MAX, INT32_MIN, 1, 196 * 128, -1}) AddRedItem(key);
  canvas.Fill(kBlack);
  panel->PaintItems(canvas.dc());
  EXPECT_EQ(canvas.Pixel(34, 2), kRed);
  canvas.Fill(kBlack);
  for (std::int32_t key : {INT32_MAX, INT32_MIN, 196 * 128}) {
    panel->PaintItemCell(canvas.dc(), key, 1);
    panel->PaintCellBackground(canvas.dc(), key);
  }
  for (POINT p : {POINT{0, 0}, POINT{159, 127}, POINT{80, 64}}) {
    EXPECT_EQ(canvas.Pixel(p.x, p.y), kBlack) << p.x << "," << p.y;
  }
}

TEST_F(PanelPaintTest, HighlightedIconMovesOnePixelAndNormalOneComesBack) {
  AddRedItem(1);
  panel->PaintBackground(canvas.dc());
  panel->PaintItemCell(canvas.dc(), 1, 0);
  EXPECT_EQ(canvas.Pixel(34, 2), kBackground) << "the cell was not repainted before the highlight";
  int tinted = 0;
  for (int y = 3; y < 27; ++y) {
    for (int x = 35; x < 59; ++x) tinted += canvas.Pixel(x, y) != kBackground;
  }
  EXPECT_GT(tinted, 24 * 24 / 3) << "no highlighted icon at (x + 3, y + 3)";
  EXPECT_EQ(canvas.Pixel(59, 27), kBackground);
  panel->PaintItemCell(canvas.dc(), 1, 1);
  EXPECT_EQ(canvas.Pixel(34, 2), kRed);
  EXPECT_EQ(canvas.Pixel(58, 26), kBackground);
  // A key without an item draws nothing at all.
  canvas.Fill(kBlack);
  panel->PaintItemCell(canvas.dc(), 0, 1);
  EXPECT_EQ(canvas.Pixel(5, 5), kBlack);
}

TEST_F(PanelPaintTest, WallpaperStretchesOverTheGridAndUnderOneCell) {
  // 2 x 2 picture, one colour per quadrant of a 2 x 2 grid of 32-pixel cells.
  const COLORREF tl = RGB(200, 10, 10), tr = RGB(10, 200, 10), bl = RGB(10, 10, 200),
                 br = RGB(200, 200, 10);
  ASSERT_TRUE(WriteWholeFile(dir.File("wall.bmp"), testutil::Bmp24(2, 2, {tl, tr, bl, br})));
  panel->settings.Bitmap = 1;
  ASSERT_EQ(panel->LoadWallpaper("wall.bmp"), 1);
  panel->GridWidth = 64;
  panel->GridHeight = 64;
  canvas.Fill(kBlack);
  panel->PaintBackground(canvas.dc());
  EXPECT_EQ(canvas.Pixel(5, 5), tl) << Rgb(canvas.Pixel(5, 5));
  EXPECT_EQ(canvas.Pixel(60, 5), tr) << Rgb(canvas.Pixel(60, 5));
  EXPECT_EQ(canvas.Pixel(5, 60), bl) << Rgb(canvas.Pixel(5, 60));
  EXPECT_EQ(canvas.Pixel(60, 60), br) << Rgb(canvas.Pixel(60, 60));
  // One cell alone gets the part of the picture that lies under it.
  canvas.Fill(kBlack);
  panel->PaintCellBackground(canvas.dc(), 129);
  EXPECT_EQ(canvas.Pixel(40, 40), br) << Rgb(canvas.Pixel(40, 40));
  EXPECT_EQ(canvas.Pixel(5, 5), kBlack);
  canvas.Fill(kBlack);
  panel->PaintCellBackground(canvas.dc(), 1);
  EXPECT_EQ(canvas.Pixel(40, 10), tr) << Rgb(canvas.Pixel(40, 10));
  // With the picture gone the brush takes over.
  panel->FreeWallpaper();
  panel->PaintBackground(canvas.dc());
  EXPECT_EQ(canvas.Pixel(5, 5), kBackground);
}

TEST_F(PanelPaintTest, BitFieldWallpaperKeepsItsColours) {
  // A 1 x 1 32-bit picture whose masks put red in the low byte: its colour is
  // right only when the masks reach the stretching, full picture and one cell.
  std::string bmp(54 + 12 + 4, '\0');
  auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put(2, static_cast<std::uint32_t>(bmp.size()));
  put(10, 54 + 12);
  put(14, 40);
  put(18, 1);
  put(22, 1);
  bmp[26] = 1;
  bmp[28] = 32;
  put(30, BI_BITFIELDS);
  put(54, 0x000000FF);  // red mask
  put(58, 0x0000FF00);  // green mask
  put(62, 0x00FF0000);  // blue mask
  put(66, 0x00AA5511);  // red 0x11, green 0x55, blue 0xAA
  ASSERT_TRUE(WriteWholeFile(dir.File("fields.bmp"), bmp));
  panel->settings.Bitmap = 1;
  ASSERT_EQ(panel->LoadWallpaper("fields.bmp"), 1);
  panel->GridWidth = 32;
  panel->GridHeight = 32;
  panel->PaintBackground(canvas.dc());
  EXPECT_EQ(canvas.Pixel(10, 10), RGB(0x11, 0x55, 0xAA)) << Rgb(canvas.Pixel(10, 10));
  canvas.Fill(kBlack);
  panel->PaintCellBackground(canvas.dc(), 0);
  EXPECT_EQ(canvas.Pixel(10, 10), RGB(0x11, 0x55, 0xAA)) << Rgb(canvas.Pixel(10, 10));
}

}  // namespace
