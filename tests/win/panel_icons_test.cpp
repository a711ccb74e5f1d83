// The real program with its icons still being extracted: what a shown panel
// shows cell by cell, and what an expose repaints, read back from the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "resources/resource.h"
#include "tests/support/bmp_builder.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/menu_driver.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

const int kColumns = 10;

std::int32_t KeyOf(int i) {
  return (i / kColumns) * 128 + i % kColumns;
}

// The client area of a window, pixel for pixel.
struct Snapshot {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  Snapshot(HWND w, int cw, int ch) : width(cw), height(ch) {
    testutil::Canvas canvas(cw, ch);
    HDC dc = GetDC(w);
    BitBlt(canvas.dc(), 0, 0, cw, ch, dc, 0, 0, SRCCOPY);
    ReleaseDC(w, dc);
    for (int y = 0; y < ch; ++y) {
      for (int x = 0; x < cw; ++x) pixels.push_back(canvas.Pixel(x, y));
    }
  }
  // The pixels of a rectangle, row by row.
  std::vector<COLORREF> Area(int left, int top, int right, int bottom) const {
    std::vector<COLORREF> out;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) out.push_back(pixels[y * width + x]);
    }
    return out;
  }
};

class PanelIconsTest : public ::testing::Test {
 protected:
  // `count` items whose icons are, by turns, this program's, one of the
  // shell's, and none (a missing file), on a panel of 10 x 8 cells.
  void Start(int count) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string shell = "C:\\windows\\system32\\shell32.dll";
    {
      ItemStore store;
      for (int i = 0; i < count; ++i) {
        const std::string file = i % 3 == 0 ? self : i % 3 == 1 ? shell : "C:\\none\\x.exe";
        store.Put(KeyOf(i), i % 3 == 1 ? 3 : 0, "item", file.c_str(), "C:\\", file.c_str());
      }
    }
    testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Startup", "0"}});
    testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
    testutil::WriteIni("Nubotesa.ini", "Rect",
                       {{"Left", "0"}, {"Top", "0"}, {"Right", "328"}, {"Bottom", "264"}});
    SetCursorPos(1279, 1023);  // nothing highlighted
    app.reset(new LauncherApp);
    ASSERT_EQ(app->Start(GetModuleHandleA(nullptr)), 1);
  }

  LauncherPanel& Panel() { return app->Panel(); }
  HWND Window() { return app->MainWindow(); }
  int Cell() { return Panel().CellSize(); }

  // The icon area of the cell of record i's key.
  std::vector<COLORREF> IconArea(const Snapshot& s, std::int32_t key) {
    const int x = (key % 128) * Cell(), y = (key / 128) * Cell();
    return s.Area(x + 2, y + 2, x + Cell() - 6, y + Cell() - 6);
  }

  // Which icon a record names: its file and index.
  std::string SourceOf(int index) {
    char file[260];
    int iconIndex = 0;
    Panel().items.GetIconAt(index, file, &iconIndex);
    return std::string(file) + "," + std::to_string(iconIndex);
  }

  void TearDown() override {
    if (app && IsWindow(Window())) SendMessageA(Window(), WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(2000);
  }

  ScopedTempDir dir;
  std::unique_ptr<LauncherApp> app;
};

TEST_F(PanelIconsTest, ShownBeforeTheIconsAreInEachCellShowsNothingOrItsOwnIcon) {
  Start(60);
  ASSERT_GT(Panel().PendingIcons(), 40) << "the icons were extracted before the loop ran";
  Panel().ToggleHidden();
  // A delete and a drop while nearly every icon is still waiting.
  std::int32_t gone = 0;
  Panel().items.KeyAt(1, &gone);
  Panel().items.Remove(gone);
  Panel().RemoveItemIcon(1);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  Panel().items.Put(KeyOf(75), 0, "dropped", self, "C:\\", self);
  Panel().AppendItemIcon();
  RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const int w = Panel().GridWidth, h = Panel().GridHeight;
  // A message waiting in the queue ends a batch: with one posted before each
  // timer message, a snapshot is taken after every batch.
  std::vector<Snapshot> during;
  const DWORD start = GetTickCount();
  while (Panel().PendingIcons() > 0 && GetTickCount() - start < 30000) {
    PostMessageA(Window(), WM_NULL, 0, 0);
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&msg);
    if (Panel().PendingIcons() > 0 && during.size() < 40) during.emplace_back(Window(), w, h);
    // Everything else, but no timer message, which would run batch after batch.
    while (PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, WM_TIMER + 1, 0xFFFFFFFF, PM_REMOVE)) {
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  ASSERT_EQ(Panel().PendingIcons(), 0);
  testutil::PumpUntil([] { return false; }, 100);
  const Snapshot done(Window(), w, h);
  const std::vector<COLORREF> empty = IconArea(done, KeyOf(79));
  // Finished: every record shows the icon its source gives, the same for the
  // same source, and the three sources look different.
  std::map<std::string, std::vector<COLORREF>> look;
  for (int i = 0; i < Panel().items.ItemCount(); ++i) {
    std::int32_t key = 0;
    Panel().items.KeyAt(i, &key);
    const auto area = IconArea(done, key);
    auto found = look.emplace(SourceOf(i), area).first;
    EXPECT_TRUE(found->second == area) << "record " << i << " at key " << key;
  }
  ASSERT_EQ(look.size(), 3u);
  int blank = 0;
  for (const auto& kv : look) blank += kv.second == empty ? 1 : 0;
  EXPECT_EQ(blank, 1) << "the missing file shows nothing, the two icons show";
  EXPECT_NE(look.begin()->second, std::next(look.begin())->second);
  // Meanwhile: nothing, or the record's own icon.
  ASSERT_GE(during.size(), 3u);
  int partly = 0;
  for (std::size_t s = 0; s < during.size(); ++s) {
    int shown = 0;
    for (int i = 0; i < Panel().items.ItemCount(); ++i) {
      std::int32_t key = 0;
      Panel().items.KeyAt(i, &key);
      const auto area = IconArea(during[s], key);
      const bool own = area == look[SourceOf(i)];
      EXPECT_TRUE(own || area == empty) << "snapshot " << s << ", record " << i;
      shown += own && area != empty ? 1 : 0;
    }
    partly += shown > 0 && shown < 40 ? 1 : 0;
  }
  EXPECT_GT(partly, 0) << "no snapshot caught the icons arriving";
}

TEST_F(PanelIconsTest, AnExposeRepaintsItsCellsAsTheyWere) {
  Start(30);
  Panel().FinishIcons();
  Panel().ToggleHidden();
  RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const int w = Panel().GridWidth, h = Panel().GridHeight, c = Cell();
  const Snapshot before(Window(), w, h);
  // Paint over four cells and, elsewhere, one more, without telling anyone.
  {
    HDC dc = GetDC(Window());
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    const RECT four = {c, c, 3 * c, 3 * c}, marker = {6 * c, 0, 7 * c, c};
    FillRect(dc, &four, magenta);
    FillRect(dc, &marker, magenta);
    DeleteObject(magenta);
    ReleaseDC(Window(), dc);
  }
  const RECT exposed = {c, c, 3 * c, 3 * c};
  RedrawWindow(Window(), &exposed, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const Snapshot after(Window(), w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool inMarker = x >= 6 * c && x < 7 * c && y < c;
      const COLORREF want = inMarker ? RGB(255, 0, 255) : before.pixels[y * w + x];
      ASSERT_EQ(after.pixels[y * w + x], want)
          << x << "," << y << " " << testutil::Rgb(after.pixels[y * w + x]);
    }
  }
}

// After every kind of change, also one the item file refuses, the screen and
// the kept picture show what a full paint draws. The wallpaper's palette never
// stays selected in a kept picture once a paint ends: the picture outlives the
// wallpaper, which deletes the palette when it goes.
TEST_F(PanelIconsTest, AfterEachChangeTheScreenAndTheKeptPictureAreAFullPaint) {
  Start(30);
  LauncherPanel& p = Panel();
  p.ToggleHidden();
  auto paletteKept = [&] {
    bool kept = false;
    for (HDC dc : {p.ComposedDc(), p.BackgroundDc()})
      kept = kept || (dc && GetCurrentObject(dc, OBJ_PAL) == p.wallpaper.Palette.get());
    return kept;
  };
  auto expectAsDrawn = [&](const char* what) {
    for (UINT redraw : {0, RDW_INVALIDATE}) {  // as left, then copied from the kept picture
      RedrawWindow(Window(), nullptr, nullptr, redraw | RDW_UPDATENOW);
      ASSERT_FALSE(paletteKept()) << what;
      const int w = p.GridWidth, h = p.GridHeight;
      testutil::Canvas drawn(w, h);
      p.PaintBackground(drawn.dc()), p.PaintItems(drawn.dc());  // nothing hovered
      const Snapshot shown(Window(), w, h);
      for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(shown.pixels[i], drawn.Pixel(i % w, i / w))
            << what << " at " << i % w << "," << i / w << (redraw ? " repainted" : "");
    }
  };
  // A message at the middle of a cell; the real pointer goes there too unless
  // `away`, where it stays for the later changes, so that none is hovered.
  auto at = [&](std::int32_t key, UINT message, int dx, bool away = false) {
    POINT pt = {key % 128 * Cell() + Cell() / 2 + dx, key / 128 * Cell() + Cell() / 2};
    SendMessageA(Window(), message, message != WM_LBUTTONUP, MAKELPARAM(pt.x, pt.y));
    ClientToScreen(Window(), &pt), away || SetCursorPos(pt.x, pt.y);
  };
  auto drag = [&](std::int32_t from, std::int32_t to, bool first) {  // over KeyOf(7)
    at(from, WM_LBUTTONDOWN, 0, !first), at(from, WM_MOUSEMOVE, 4, !first);
    at(KeyOf(7), WM_MOUSEMOVE, 0, !first);
    testutil::PumpUntil([&] { return p.PendingIcons() == 0; }, first ? 30000 : 0);
    at(to, WM_MOUSEMOVE, 0, !first), at(to, WM_LBUTTONUP, 0, !first), SetCursorPos(1279, 1023);
  };
  // Dragged over a cell whose icon arrives meanwhile, dropped on an empty one.
  drag(KeyOf(0), KeyOf(35), true);
  expectAsDrawn("moved while the icons came");
  char exe[MAX_PATH];  // with the program icon, for a drop and an edit
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::strcpy(std::strrchr(exe, '\\'), "\\launch_recorder.exe");
  MessageBoxAnswerer boxes;  // confirms the settings dialog and the refusals
  boxes.Leave("登録内容の変更");
  WhenDialogOpens edit("登録内容の変更", [&](HWND d) {
    SetDlgItemTextA(d, IDC_ITEM_ICON_FILE, exe);
    PostMessageA(d, WM_COMMAND, IDOK, 0);
  });
  bmp_builder::Shape eightBits;  // the wallpaper has 8 bits
  eightBits.bitCount = 8;
  ASSERT_TRUE(WriteWholeFile(dir.File("sample.bmp"), bmp_builder::Make(eightBits)));
  enum Op { kSettings, kCycles, kDrop, kEdit, kDrag, kDelete };
  const struct {
    const char* what;
    int cell, bitmap;
    Op op;
    int from, to;  // places as KeyOf numbers them
    bool held;     // by another program, the item file refuses the change
  } changes[] = {{"settings", 32, 0, kSettings, 0, 0, false},
                 {"another size", 40, 0, kSettings, 0, 0, false},
                 {"wallpaper on", 40, 1, kSettings, 0, 0, false},
                 {"hidden, shown", 40, 1, kCycles, 0, 0, false},
                 {"drop", 40, 1, kDrop, 31, 0, false},
                 {"edit", 40, 1, kEdit, 1, 0, false},
                 {"swap", 40, 1, kDrag, 4, 5, false},
                 {"delete", 40, 1, kDelete, 11, 0, false},
                 {"move refused", 40, 1, kDrag, 12, 32, true},
                 {"swap refused", 40, 1, kDrag, 12, 13, true},
                 {"delete refused", 40, 1, kDelete, 14, 0, true},
                 {"wallpaper off", 40, 0, kSettings, 0, 0, false}};
  for (const auto& c : changes) {
    p.settings.IconSize = c.cell, p.settings.Bitmap = c.bitmap;
    HANDLE held = c.held ? CreateFileA(p.items.ItemFilePath(), GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr)
                         : INVALID_HANDLE_VALUE;
    boxes.Clear();
    const int gdi = platform::LiveGdiObjects();
    for (int i = 0; c.op == kCycles && i < 3; ++i) {
      p.ToggleHidden(), UpdateWindow(Window()), p.ToggleHidden(), UpdateWindow(Window());
      ASSERT_FALSE(paletteKept()) << c.what << " " << i;
    }
    EXPECT_TRUE(c.op != kCycles || platform::LiveGdiObjects() == gdi)
        << c.what << ": " << platform::LiveGdiObjects() - gdi << " GDI objects more";
    if (c.op == kSettings) SendMessageA(Window(), WM_COMMAND, ID_PANEL_SETTINGS, 0);
    if (c.op == kDrop) {  // the new item is shown hovered until the pointer moves on
      at(KeyOf(c.from), WM_MOUSEMOVE, 0, true);
      p.DropFile(exe, KeyOf(c.from) % 128 * Cell() + 1, KeyOf(c.from) / 128 * Cell() + 1);
      at(KeyOf(c.from + 3), WM_MOUSEMOVE, 0, true);
    }
    if (c.op == kEdit || c.op == kDelete) {
      p.ContextKey = KeyOf(c.from);
      SendMessageA(Window(), WM_COMMAND, c.op == kEdit ? ID_ITEM_EDIT : ID_ITEM_DELETE, 0);
    }
    if (c.op == kDrag) drag(KeyOf(c.from), KeyOf(c.to), false);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(boxes.Seen().size(), c.held || c.op == kSettings ? 1u : 0u) << c.what;
    EXPECT_EQ(p.PendingIcons(), c.op == kSettings ? p.items.ItemCount() : 0) << c.what;
    p.FinishIcons();
    expectAsDrawn(c.what);
  }
  EXPECT_TRUE(edit.Ran());
}

}  // namespace
