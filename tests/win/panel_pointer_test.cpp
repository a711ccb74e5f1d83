// The pointer over the real main window: presses, moves and releases sent as
// window messages, checked on the item file, the window's pixels, the hover
// label, the pointer shape, the pointer confinement and the keyboard focus.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "app/launcher_app.h"
#include "panel/cursor_table.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/menu_driver.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

const int kCell = 32;
const COLORREF kBackground = RGB(158, 195, 255);

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

// The centre of a cell in client coordinates.
POINT CellCentre(int key) {
  return {(key % 128) * kCell + kCell / 2, (key / 128) * kCell + kCell / 2};
}

std::map<std::string, int> KeysInItemFile() {
  ItemStore store;
  store.Load();
  std::map<std::string, int> keys;
  for (int i = 0; i < store.ItemCount(); ++i)
    keys[store.RecordAt(i)->title] = store.RecordAt(i)->key;
  return keys;
}

std::string Show(const std::map<std::string, int>& keys) {
  std::string s;
  for (const auto& kv : keys) s += kv.first + "=" + std::to_string(kv.second) + " ";
  return s;
}

class PanelPointerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Keep the real pointer away from the panel: it must not add moves.
    SetCursorPos(1279, 1023);
    const std::string self = ModulePath();
    // The items start the launch recorder, which is built beside this program.
    const std::string recorder = self.substr(0, self.rfind('\\') + 1) + "launch_recorder.exe";
    {
      ItemStore store;
      store.Put(0, 0, "alpha", recorder.c_str(), dir.Path().c_str(), self.c_str());
      store.Put(1, 0, "beta", recorder.c_str(), dir.Path().c_str(), self.c_str());
    }
    testutil::WriteIni("Nubotesa.ini", "Config",
                       {{"Bitmap", "0"}, {"Startup", "0"}, {"Small", "0"}});
    testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
    app.reset(new LauncherApp);
    ASSERT_EQ(app->Start(GetModuleHandleA(nullptr)), 1);
    app->Panel().ToggleHidden();
    window = app->MainWindow();
    // The icons come in from the message loop once the program runs.
    ASSERT_TRUE(testutil::PumpUntil([&] { return app->Panel().PendingIcons() == 0; }, 10000));
    UpdateWindow(window);
  }

  void TearDown() override {
    ClipCursor(nullptr);
    SetEnvironmentVariableA("NUBO_LAUNCH_RECORD", nullptr);
    if (IsWindow(window)) SendMessageA(window, WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(2000);
  }

  static std::string ModulePath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
  }

  void Send(UINT message, int x, int y) { SendMessageA(window, message, MK_LBUTTON, At(x, y)); }

  // Press at the centre of `from`, move by (dx, dy), then to `to`, release.
  void Drag(int from, int to) {
    const POINT a = CellCentre(from), b = CellCentre(to);
    Send(WM_LBUTTONDOWN, a.x, a.y);
    Send(WM_MOUSEMOVE, a.x + 3, a.y);
    Send(WM_MOUSEMOVE, b.x, b.y);
    Send(WM_LBUTTONUP, b.x, b.y);
  }

  // The pixels inside the icon area of a cell, read back from the window.
  std::vector<COLORREF> IconArea(int key) {
    testutil::Canvas canvas(kCell, kCell);
    HDC dc = GetDC(window);
    const POINT o = {(key % 128) * kCell, (key / 128) * kCell};
    BitBlt(canvas.dc(), 0, 0, kCell, kCell, dc, o.x, o.y, SRCCOPY);
    ReleaseDC(window, dc);
    std::vector<COLORREF> pixels;
    for (int y = 2; y < kCell - 5; ++y)
      for (int x = 2; x < kCell - 5; ++x) pixels.push_back(canvas.Pixel(x, y));
    return pixels;
  }

  static int Drawn(const std::vector<COLORREF>& pixels) {
    int n = 0;
    for (COLORREF p : pixels) n += p != kBackground;
    return n;
  }

  HCURSOR Cursor(int id) { return Cursors().CursorFor(id); }

  // Names the file that the next started item records its start in.
  std::string RecordLaunchesIn(const std::string& name) {
    const std::string path = dir.File(name);
    SetEnvironmentVariableA("NUBO_LAUNCH_RECORD", path.c_str());
    return path;
  }

  // Clicks beta with a record of its own and waits for it: launches started
  // before it have had their time by then.
  void ClickAndWaitForLaunch() {
    const std::string record = RecordLaunchesIn("last-click.txt");
    const POINT p = CellCentre(1);
    Send(WM_LBUTTONDOWN, p.x, p.y);
    Send(WM_LBUTTONUP, p.x, p.y);
    EXPECT_TRUE(testutil::PumpUntil([&] { return FileExists(record); }, 10000))
        << "a click did not start the item";
  }

  ScopedTempDir dir;
  MessageBoxAnswerer boxes;
  std::unique_ptr<LauncherApp> app;
  HWND window = nullptr;
};

TEST_F(PanelPointerTest, SmallMovesStayAClickLargerOnesDrag) {
  const RECT r = [&] {
    RECT w;
    GetWindowRect(window, &w);
    return w;
  }();
  struct Case {
    int dx, dy;
    bool drags;
  } cases[] = {{0, 0, false}, {2, 2, false}, {-2, -2, false}, {3, 0, true},
               {0, 3, true},  {-3, 0, true}, {0, -3, true}};
  const POINT p = CellCentre(0);
  std::vector<std::string> records;
  for (const Case& c : cases) {
    records.push_back(RecordLaunchesIn("launch" + std::to_string(records.size()) + ".txt"));
    Send(WM_LBUTTONDOWN, p.x, p.y);
    RECT clip;
    GetClipCursor(&clip);
    EXPECT_EQ(clip.left, r.left + kCell / 8) << c.dx << "," << c.dy;
    EXPECT_EQ(clip.bottom, r.bottom - kCell / 8) << c.dx << "," << c.dy;
    Send(WM_MOUSEMOVE, p.x + c.dx, p.y + c.dy);
    EXPECT_EQ(app->Panel().DragState, c.drags ? 2 : 1) << "moved " << c.dx << "," << c.dy;
    EXPECT_EQ(GetCursor(), Cursor(c.drags ? 121 : 124)) << "moved " << c.dx << "," << c.dy;
    Send(WM_LBUTTONUP, p.x, p.y);
    EXPECT_EQ(app->Panel().DragState, 0);
    EXPECT_EQ(app->Panel().DragSourceKey, -1);
    GetClipCursor(&clip);
    const RECT desktop = [] {
      RECT d;
      GetWindowRect(GetDesktopWindow(), &d);
      return d;
    }();
    EXPECT_TRUE(EqualRect(&clip, &desktop)) << "still confined after " << c.dx << "," << c.dy;
  }
  ClickAndWaitForLaunch();
  // Started programs finish in any order on a busy machine: wait for every
  // click's record before looking for the ones the drags must not have made.
  testutil::PumpUntil(
      [&] {
        for (std::size_t i = 0; i < records.size(); ++i) {
          if (!cases[i].drags && ReadWholeFile(records[i]).empty()) return false;
        }
        return true;
      },
      10000);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(FileExists(records[i]), !cases[i].drags)
        << "moved " << cases[i].dx << "," << cases[i].dy << ": launched " << FileExists(records[i]);
  }
  const std::string record = ReadWholeFile(records[0]);
  EXPECT_NE(record.find("launch_recorder.exe"), std::string::npos) << record;
  EXPECT_EQ(KeysInItemFile(), (std::map<std::string, int>{{"alpha", 0}, {"beta", 1}}));
}

TEST_F(PanelPointerTest, DragsMoveSwapOrKeepItemsInTheFileAndOnScreen) {
  struct Case {
    const char* what;
    int from, to;
    std::map<std::string, int> keys;
    int emptied;  // the cell left with background only, or -1
  } cases[] = {
      {"onto an empty cell", 0, 2, {{"alpha", 2}, {"beta", 1}}, 0},
      {"onto another item", 2, 1, {{"alpha", 1}, {"beta", 2}}, -1},
      {"back onto its own cell", 1, 1, {{"alpha", 1}, {"beta", 2}}, -1},
      {"to the next row", 2, 130, {{"alpha", 1}, {"beta", 130}}, 2},
  };
  for (const Case& c : cases) {
    Drag(c.from, c.to);
    EXPECT_EQ(KeysInItemFile(), c.keys) << c.what << ": " << Show(KeysInItemFile());
    UpdateWindow(window);  // the own-cell case repaints through invalidation
    for (const auto& kv : c.keys) {
      EXPECT_GT(Drawn(IconArea(kv.second)), 50) << c.what << ": no icon at " << kv.second;
    }
    if (c.emptied >= 0) {
      EXPECT_EQ(Drawn(IconArea(c.emptied)), 0) << c.what << ": the old cell still shows more";
    }
  }
}

TEST_F(PanelPointerTest, HoverHighlightsAndLabelsItemsOnly) {
  LauncherPanel& panel = app->Panel();
  HotKey() = 0;  // as at the start of the process
  const std::vector<COLORREF> betaNormal = IconArea(1);
  ASSERT_GT(Drawn(betaNormal), 50) << "beta's icon is not on the screen";
  const POINT a = CellCentre(0), b = CellCentre(1), e = CellCentre(2);

  Send(WM_MOUSEMOVE, a.x, a.y);
  EXPECT_EQ(panel.label.window, nullptr) << "a label before the first title to show";
  EXPECT_EQ(GetCursor(), Cursor(124));

  Send(WM_MOUSEMOVE, b.x, b.y);
  const HWND label = panel.label.window;
  ASSERT_TRUE(IsWindowVisible(label));
  EXPECT_EQ(GetWindow(label, GW_OWNER), window);
  EXPECT_STREQ(panel.label.text, " beta ");
  EXPECT_NE(IconArea(1), betaNormal) << "the hovered item is not highlighted";
  SIZE text = {};
  HDC dc = GetDC(label);
  GetTextExtentPoint32A(dc, " beta ", 6, &text);
  ReleaseDC(label, dc);
  POINT corner = {kCell, 0};
  ClientToScreen(window, &corner);
  RECT placed;
  GetWindowRect(label, &placed);
  EXPECT_EQ(placed.left, corner.x + kCell / 2 - (text.cx + 8) / 2);
  EXPECT_EQ(placed.top, corner.y + kCell + 4);
  EXPECT_EQ(placed.right - placed.left, text.cx + 12);
  EXPECT_EQ(placed.bottom - placed.top, text.cy + 8);

  Send(WM_MOUSEMOVE, e.x, e.y);
  EXPECT_FALSE(IsWindowVisible(label)) << "the label stayed over an empty cell";
  EXPECT_EQ(GetCursor(), Cursor(123));
  EXPECT_EQ(IconArea(1), betaNormal) << "the item was not drawn normally again";

  Send(WM_MOUSEMOVE, a.x, a.y);
  EXPECT_TRUE(IsWindowVisible(label));
  EXPECT_STREQ(panel.label.text, " alpha ");
  // A press hides the label.
  Send(WM_LBUTTONDOWN, a.x, a.y);
  EXPECT_FALSE(IsWindowVisible(label));
  Send(WM_LBUTTONUP, a.x, a.y);
  SendMessageA(window, WM_CLOSE, 0, 0);
  testutil::RunUntilQuit(2000);
  EXPECT_FALSE(IsWindow(label)) << "the label outlived the main window";
}

TEST_F(PanelPointerTest, HoveringLeavesTheKeyboardFocusWithTheOtherWindow) {
  HWND other = CreateWindowExA(0, "EDIT", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 300,
                               200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  SetFocus(other);
  ASSERT_TRUE(testutil::PumpUntil([&] { return GetForegroundWindow() == other; }, 2000));
  for (int key : {1, 2, 0, 1}) {
    const POINT p = CellCentre(key);
    Send(WM_MOUSEMOVE, p.x, p.y);
    EXPECT_EQ(GetForegroundWindow(), other) << "after hovering cell " << key;
    EXPECT_EQ(GetFocus(), other) << "after hovering cell " << key;
  }
  EXPECT_TRUE(IsWindowVisible(app->Panel().label.window));
  DestroyWindow(other);
}

TEST_F(PanelPointerTest, CursorsAndDragStatesFollowEachStep) {
  LauncherPanel& panel = app->Panel();
  const POINT item = CellCentre(0), empty = CellCentre(3), other = CellCentre(1);
  struct Step {
    const char* what;
    UINT message;
    POINT at;
    int cursor, state;
    const char* record = nullptr;  // the launch record named before the step
  } steps[] = {
      {"release with no press, on an empty cell", WM_LBUTTONUP, empty, 124, 0, "empty.txt"},
      {"release with no press, on an item", WM_LBUTTONUP, item, 123, 0, "item.txt"},
      {"hover an item", WM_MOUSEMOVE, item, 124, 0},
      {"hover an empty cell", WM_MOUSEMOVE, empty, 123, 0},
      {"press an item", WM_LBUTTONDOWN, item, 124, 1},
      {"move within two pixels", WM_MOUSEMOVE, {item.x + 2, item.y - 2}, 124, 1},
      {"move beyond", WM_MOUSEMOVE, {item.x, item.y + 3}, 121, 2},
      {"drag over an empty cell", WM_MOUSEMOVE, empty, 121, 2},
      {"press again, its release unseen", WM_LBUTTONDOWN, other, 124, 1},
      {"drag again", WM_MOUSEMOVE, empty, 121, 2},
      {"release on an empty cell", WM_LBUTTONUP, empty, 123, 0},
      {"press it again", WM_LBUTTONDOWN, empty, 124, 1},
      {"drag it", WM_MOUSEMOVE, other, 121, 2},
      {"right press: the menu ends the drag, leaving its arrow (0)", WM_RBUTTONDOWN, other, 0, 3},
  };
  MenuDriver menus;
  for (const Step& s : steps) {
    if (s.record != nullptr) RecordLaunchesIn(s.record);
    Send(s.message, s.at.x, s.at.y);
    EXPECT_EQ(GetCursor(), s.cursor ? Cursor(s.cursor) : LoadCursor(nullptr, IDC_ARROW)) << s.what;
    EXPECT_EQ(panel.DragState, s.state) << s.what;
  }
  RECT clip;
  GetClipCursor(&clip);
  EXPECT_TRUE(clip.right == GetSystemMetrics(SM_CXVIRTUALSCREEN) && !ImageList_GetDragImage(0, 0));
  panel.settings.Small = 1;  // a launch would hide the panel at once
  Send(WM_LBUTTONUP, item.x, item.y);
  EXPECT_TRUE(IsWindowVisible(window)) << "the release that ended a cancelled drag started an item";
  EXPECT_EQ(KeysInItemFile(), (std::map<std::string, int>{{"alpha", 0}, {"beta", 3}}));
  EXPECT_TRUE(testutil::PumpUntil([&] { return FileExists(dir.File("item.txt")); }, 10000))
      << "a release with no press did not start the item under the pointer";
  EXPECT_FALSE(FileExists(dir.File("empty.txt"))) << "a release on an empty cell started something";

  // A press on an empty cell hands the window to the system's move loop.
  Send(WM_LBUTTONDOWN, CellCentre(5).x, CellCentre(5).y);
  EXPECT_EQ(GetCursor(), Cursor(122));
  EXPECT_EQ(panel.DragState, 0);
  MSG posted;
  ASSERT_TRUE(PeekMessageA(&posted, window, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(posted.wParam, 0xF012u);
  EXPECT_EQ(posted.lParam, 0);
}

}  // namespace
