// The panel and its label on a desktop of two screens: the 1024x768 primary
// screen and a larger one right of it. These tests run in the two-screen
// session (wine-session ... two-screens); on one screen they are skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

std::string Show(const RECT& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

RECT WindowRectOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoA(monitor, &info);
  auto* monitors = reinterpret_cast<std::vector<RECT>*>(list);
  const bool primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  monitors->insert(primary ? monitors->begin() : monitors->end(), info.rcMonitor);
  return TRUE;
}

class TwoScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.size() != 2) {
      if (std::getenv("NUBO_TWO_SCREENS") != nullptr) {
        FAIL() << "the two-screen session shows " << monitors.size() << " monitors";
      }
      GTEST_SKIP() << monitors.size() << " monitor(s)";
    }
    primary = monitors[0];
    second = monitors[1];
    // The cases below tell the screens apart only on this layout.
    ASSERT_EQ(second.left, primary.right) << Show(primary) << " " << Show(second);
    ASSERT_GT(second.bottom, primary.bottom) << Show(second);
    ASSERT_GT(second.right - second.left, primary.right - primary.left) << Show(second);
  }

  // Starts the program objects with `saved` as the saved window rectangle.
  std::unique_ptr<LauncherApp> StartWith(const RECT& saved) {
    testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Startup", "0"}});
    testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
    testutil::WriteIni("Nubotesa.ini", "Rect",
                       {{"Left", std::to_string(saved.left)},
                        {"Top", std::to_string(saved.top)},
                        {"Right", std::to_string(saved.right)},
                        {"Bottom", std::to_string(saved.bottom)}});
    std::unique_ptr<LauncherApp> app(new LauncherApp);
    EXPECT_EQ(app->Start(GetModuleHandleA(nullptr)), 1);
    return app;
  }

  void Close(LauncherApp& app) {
    if (IsWindow(app.MainWindow())) SendMessageA(app.MainWindow(), WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(2000);
  }

  int Saved(const char* key) { return testutil::ReadIniInt("Nubotesa.ini", "Rect", key, -99999); }

  RECT primary = {}, second = {};
  ScopedTempDir dir;
  MessageBoxAnswerer boxes;
};

TEST_F(TwoScreensTest, PanelMovedOntoTheSecondScreenStaysThereAndStartsThereAgain) {
  const int x = second.left + 100;
  auto app = StartWith({x, 100, x + 264, 300});
  HWND w = app->MainWindow();
  RECT r = WindowRectOf(w);
  EXPECT_EQ(r.left, x) << Show(r);
  EXPECT_EQ(r.top, 100) << Show(r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  struct Case {
    const char* what;
    LONG x, y;
    LONG left, top;  // expected after the move
  } cases[] = {
      {"past the second screen's right edge", second.right - width + 50, 100, second.right - width,
       100},
      {"below the primary screen's bottom, on the second", second.left + 10, primary.bottom + 20,
       second.left + 10, primary.bottom + 20},
      {"past the second screen's bottom", second.left + 10, second.bottom - height + 30,
       second.left + 10, second.bottom - height},
      {"across the border, mostly on the second", second.left - width / 3, 100, second.left, 100},
      {"across the border, mostly on the primary", primary.right - 2 * width / 3, 100,
       primary.right - width, 100},
      {"back onto the second screen", second.left + 200, 300, second.left + 200, 300},
  };
  for (const Case& c : cases) {
    MoveWindow(w, c.x, c.y, width, height, TRUE);
    app->Panel().Resized = 0;  // a plain move
    SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
    r = WindowRectOf(w);
    EXPECT_EQ(r.left, c.left) << c.what << ": " << Show(r);
    EXPECT_EQ(r.top, c.top) << c.what << ": " << Show(r);
    EXPECT_EQ(Saved("Left"), r.left) << c.what;
    EXPECT_EQ(Saved("Top"), r.top) << c.what;
  }
  Close(*app);

  auto again = StartWith({Saved("Left"), Saved("Top"), Saved("Right"), Saved("Bottom")});
  r = WindowRectOf(again->MainWindow());
  EXPECT_EQ(r.left, second.left + 200) << Show(r);
  EXPECT_EQ(r.top, 300) << Show(r);
  Close(*again);
}

TEST_F(TwoScreensTest, SavedRectangleOffEveryScreenComesBackOntoTheNearest) {
  struct Case {
    const char* what;
    RECT saved;
    LONG left, top, right;  // -1: not checked
  } cases[] = {
      {"right of the second screen",
       {second.right + 500, 100, second.right + 764, 300},
       -1,
       100,
       second.right},
      {"left of the primary screen", {-3000, 200, -2736, 400}, 0, 200, -1},
      {"below the primary screen, nearer the second",
       {second.left - 20, second.bottom + 50, second.left + 244, second.bottom + 250},
       second.left,
       -1,
       -1},
  };
  for (const Case& c : cases) {
    auto app = StartWith(c.saved);
    const RECT r = WindowRectOf(app->MainWindow());
    const std::string got = std::string(c.what) + ": " + Show(r);
    if (c.left != -1) {
      EXPECT_EQ(r.left, c.left) << got;
    }
    if (c.top != -1) {
      EXPECT_EQ(r.top, c.top) << got;
    }
    if (c.right != -1) {
      EXPECT_EQ(r.right, c.right) << got;
    }
    EXPECT_LE(r.bottom, second.bottom) << got;
    Close(*app);
  }
}

TEST_F(TwoScreensTest, SnapTestsTheWidthAgainstTheScreenItIsOn) {
  const LONG cell = 32;
  const LONG between = (primary.right - primary.left) + 76;  // wider than the primary only
  const LONG wider = (second.right - second.left) + 100;     // wider than the second too
  const LONG x = second.left + 50;
  struct Case {
    const char* what;
    RECT saved;
    LONG left, minRight, maxRight;
  } cases[] = {
      {"wider than the primary, on the second",
       {x, 100, x + between, 300},
       x,
       x + between,
       x + between + cell},
      {"wider than the second, on it",
       {x, 100, x + wider, 300},
       second.left,
       second.right - cell,
       second.right},
  };
  for (const Case& c : cases) {
    auto app = StartWith(c.saved);
    const RECT r = WindowRectOf(app->MainWindow());
    const std::string got = std::string(c.what) + ": " + Show(r);
    EXPECT_EQ(r.left, c.left) << got;
    EXPECT_GE(r.right, c.minRight) << got;
    EXPECT_LE(r.right, c.maxRight) << got;
    Close(*app);
  }
}

TEST_F(TwoScreensTest, HoverLabelKeepsToTheScreenItIsOn) {
  ToolTipWindow label{};
  label.instance = GetModuleHandleA(nullptr);
  ASSERT_NE(label.Create("NuboToolTip"), nullptr);
  struct Case {
    const char* what;
    LONG centreX, top;
    RECT screen;
  } cases[] = {
      {"bottom-right corner of the second screen", second.right - 5, second.bottom - 5, second},
      {"bottom-right corner of the primary screen", primary.right - 25, primary.bottom - 20,
       primary},
  };
  for (const Case& c : cases) {
    label.ShowText("Editor", c.centreX, c.top);
    const RECT r = WindowRectOf(label.window);
    EXPECT_EQ(r.right, c.screen.right) << c.what << ": " << Show(r);
    EXPECT_EQ(r.bottom, c.screen.bottom) << c.what << ": " << Show(r);
  }
  label.Destroy();
}

}  // namespace
