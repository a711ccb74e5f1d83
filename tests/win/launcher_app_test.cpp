// The real program objects in a temporary current directory: the main window,
// its tray icon, the first start and the next one, placement at the end of a
// move or size loop, hiding and showing.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/launcher_app.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

const char kOpenFailed[] = "ファイルのオープンに失敗しました";
const char kWelcome[] = "この度は【ぬぼてさぽん】のご使用、\nありがとうございます。";
const char kWelcomeCaption[] = "ほこらぎ工房より";

RECT WindowRectOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

RECT DesktopRect() {
  return WindowRectOf(GetDesktopWindow());
}

// The outer size of the main window for a client area of w x h.
SIZE OuterSizeFor(HWND window, int w, int h) {
  RECT r = {0, 0, w, h};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
  return {r.right - r.left, r.bottom - r.top};
}

void CloseAndDrain(LauncherApp& app) {
  if (IsWindow(app.MainWindow())) SendMessageA(app.MainWindow(), WM_CLOSE, 0, 0);
  testutil::RunUntilQuit(2000);
}

class LauncherAppTest : public ::testing::Test {
 protected:
  // A later start: no greeting, no wallpaper, no Startup shortcut.
  void PrepareLaterStart() {
    testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Startup", "0"}});
    testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
  }

  // Starts an application in the prepared folder and shows its panel.
  std::unique_ptr<LauncherApp> StartShown() {
    PrepareLaterStart();
    std::unique_ptr<LauncherApp> app(new LauncherApp);
    EXPECT_EQ(app->Start(GetModuleHandleA(nullptr)), 1);
    app->Panel().ToggleHidden();
    return app;
  }

  int SavedInt(const char* section, const char* key) {
    return testutil::ReadIniInt("Nubotesa.ini", section, key, -99999);
  }

  ScopedTempDir dir;
  MessageBoxAnswerer boxes;
};

TEST_F(LauncherAppTest, FirstStartGreetsAfterTheWallpaperErrorThenStartsHiddenNextTime) {
  {
    LauncherApp app;
    ASSERT_EQ(app.Start(GetModuleHandleA(nullptr)), 1);
    ASSERT_EQ(boxes.Seen().size(), 2u);
    EXPECT_EQ(boxes.Seen()[0].text, kOpenFailed);
    EXPECT_EQ(boxes.Seen()[0].caption, "Error");
    EXPECT_EQ(boxes.Seen()[1].text, kWelcome);
    EXPECT_EQ(boxes.Seen()[1].caption, kWelcomeCaption);
    HWND w = app.MainWindow();
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(app.Panel().Hidden, 0);
    // The default rectangle, snapped to whole 32-pixel cells.
    const RECT r = WindowRectOf(w);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(r.left, 78);
    EXPECT_EQ(r.top, 143);
    EXPECT_EQ(client.right % 32, 0) << client.right;
    EXPECT_EQ(client.bottom % 32, 0) << client.bottom;
    const SIZE frame = OuterSizeFor(w, 0, 0);
    EXPECT_EQ(client.right, (264 - frame.cx + 31) / 32 * 32);
    EXPECT_EQ(client.bottom, (200 - frame.cy + 31) / 32 * 32);
    EXPECT_EQ(app.Panel().GridWidth, client.right);
    EXPECT_EQ(app.Panel().GridHeight, client.bottom);
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(testutil::RunUntilQuit(), 0);
    EXPECT_FALSE(IsWindow(w));
  }
  EXPECT_EQ(SavedInt("Check", "CheckFlag"), 1);
  EXPECT_EQ(SavedInt("Config", "Bitmap"), 0);

  LauncherApp again;
  ASSERT_EQ(again.Start(GetModuleHandleA(nullptr)), 1);
  EXPECT_EQ(boxes.Seen().size(), 2u) << "the second start showed a message";
  EXPECT_FALSE(IsWindowVisible(again.MainWindow()));
  EXPECT_EQ(again.Panel().Hidden, 1);
  CloseAndDrain(again);
}

TEST_F(LauncherAppTest, WindowClassWindowAndTrayIcon) {
  PrepareLaterStart();
  LauncherApp app;
  ASSERT_EQ(app.Start(GetModuleHandleA(nullptr)), 1);
  HWND w = app.MainWindow();
  char name[64];
  GetClassNameA(w, name, sizeof name);
  EXPECT_STREQ(name, "Nubotesa");
  EXPECT_EQ(testutil::WindowText(w), "ぬぼてさぽん");
  WNDCLASSA wc;
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "Nubotesa", &wc));
  EXPECT_EQ(wc.style, 0x3080u);
  EXPECT_EQ(wc.cbWndExtra, 4);
  EXPECT_EQ(wc.hCursor, nullptr);
  EXPECT_NE(wc.hIcon, nullptr);
  // The platform adds clipping of siblings and the window edge; the stacking
  // order adds top-most (the default setting).
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
            static_cast<DWORD>(WS_POPUP | WS_THICKFRAME));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE));
  EXPECT_EQ(exStyle & ~(WS_EX_WINDOWEDGE | WS_EX_TOPMOST), 0x91u);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_EQ(reinterpret_cast<LauncherApp*>(GetWindowLongPtrA(w, GWLP_USERDATA)), &app);
  const NOTIFYICONDATAW* tray = app.TrayRecord();
  ASSERT_NE(tray, nullptr);
  EXPECT_EQ(tray->cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
  EXPECT_EQ(tray->hWnd, w);
  EXPECT_EQ(tray->uID, 1u);
  EXPECT_EQ(tray->uFlags, 7u);
  EXPECT_EQ(tray->uCallbackMessage, 2024u);
  EXPECT_NE(tray->hIcon, nullptr);
  EXPECT_EQ(testutil::Cp932(tray->szTip), "ぬぼてさぽん");
  CloseAndDrain(app);
}

TEST_F(LauncherAppTest, TrayIconComesBackWhenTheShellRestarts) {
  PrepareLaterStart();
  LauncherApp app;
  ASSERT_EQ(app.Start(GetModuleHandleA(nullptr)), 1);
  NOTIFYICONDATAW record = *app.TrayRecord();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &record)) << "no tray icon after the start";
  // A restarted shell has lost every icon, then tells every window.
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &record));
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &record));
  SendMessageA(app.MainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &record)) << "the icon was not added again";
  CloseAndDrain(app);
}

TEST_F(LauncherAppTest, MoveOffTheRightEdgeComesBackAndIsSaved) {
  auto app = StartShown();
  HWND w = app->MainWindow();
  const RECT before = WindowRectOf(w);
  const int width = before.right - before.left, height = before.bottom - before.top;
  const RECT desktop = DesktopRect();
  MoveWindow(w, desktop.right - width + 50, 100, width, height, TRUE);
  app->Panel().Resized = 0;  // a plain move
  SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
  const RECT after = WindowRectOf(w);
  EXPECT_EQ(after.left, desktop.right - width);
  EXPECT_EQ(after.right, desktop.right);
  EXPECT_EQ(after.top, 100);
  EXPECT_EQ(after.bottom - after.top, height);
  EXPECT_EQ(SavedInt("Rect", "Left"), after.left);
  EXPECT_EQ(SavedInt("Rect", "Right"), after.right);
  EXPECT_EQ(SavedInt("Rect", "Top"), 100);
  EXPECT_EQ(app->Panel().Resized, 0);
  CloseAndDrain(*app);
}

TEST_F(LauncherAppTest, KeepOnScreenOffLeavesTheWindowButStillSaves) {
  testutil::WriteIni("Nubotesa.ini", "Config", {{"Area", "0"}, {"TopMost", "0"}});
  auto app = StartShown();
  HWND w = app->MainWindow();
  EXPECT_FALSE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) << "TopMost 0 still on top";
  const RECT before = WindowRectOf(w);
  const int width = before.right - before.left, height = before.bottom - before.top;
  MoveWindow(w, -120, -60, width, height, TRUE);
  app->Panel().Resized = 0;
  SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
  const RECT after = WindowRectOf(w);
  EXPECT_EQ(after.left, -120);
  EXPECT_EQ(after.top, -60);
  EXPECT_EQ(SavedInt("Rect", "Left"), -120);
  EXPECT_EQ(SavedInt("Rect", "Top"), -60);
  CloseAndDrain(*app);
}

TEST_F(LauncherAppTest, ResizeSnapsTheClientAreaToWholeCells) {
  auto app = StartShown();
  HWND w = app->MainWindow();
  struct Case {
    int clientW, clientH, cellsW, cellsH;
  } cases[] = {{3 * 32 + 1, 4 * 32 + 1, 4, 5}, {0, 0, 1, 1}, {64, 96, 2, 3}};
  for (const Case& c : cases) {
    const SIZE outer = OuterSizeFor(w, c.clientW, c.clientH);
    SetWindowPos(w, nullptr, 200, 200, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(app->Panel().Resized, 1) << "a size change did not mark the panel";
    SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, c.cellsW * 32) << c.clientW << "x" << c.clientH;
    EXPECT_EQ(client.bottom, c.cellsH * 32) << c.clientW << "x" << c.clientH;
    EXPECT_EQ(app->Panel().GridWidth, c.cellsW * 32);
    EXPECT_EQ(app->Panel().GridHeight, c.cellsH * 32);
    EXPECT_EQ(app->Panel().Resized, 0);
    const RECT r = WindowRectOf(w);
    EXPECT_EQ(SavedInt("Rect", "Right"), r.right);
    EXPECT_EQ(SavedInt("Rect", "Bottom"), r.bottom);
  }
  // Without a size change the end of the loop only clamps: nothing snaps.
  const SIZE odd = OuterSizeFor(w, 50, 50);
  SetWindowPos(w, nullptr, 200, 200, odd.cx, odd.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  app->Panel().Resized = 0;
  SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 50);
  CloseAndDrain(*app);
}

TEST_F(LauncherAppTest, ToggleHiddenLoadsAndFreesTheWallpaper) {
  ASSERT_TRUE(
      WriteWholeFile(dir.File("wall.bmp"), testutil::Bmp24(2, 1, {RGB(1, 2, 3), RGB(4, 5, 6)})));
  PrepareLaterStart();
  testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "1"}, {"Wallpaper", "wall.bmp"}});
  LauncherApp app;
  ASSERT_EQ(app.Start(GetModuleHandleA(nullptr)), 1);
  LauncherPanel& panel = app.Panel();
  EXPECT_EQ(panel.Hidden, 1);
  EXPECT_FALSE(panel.wallpaper.FileData) << "a hidden panel holds a picture";
  panel.ToggleHidden();
  EXPECT_EQ(panel.Hidden, 0);
  EXPECT_TRUE(IsWindowVisible(app.MainWindow()));
  EXPECT_TRUE(panel.wallpaper.FileData) << "showing did not load the picture";
  panel.ToggleHidden();
  EXPECT_EQ(panel.Hidden, 1);
  EXPECT_FALSE(IsWindowVisible(app.MainWindow()));
  EXPECT_FALSE(panel.wallpaper.FileData) << "hiding did not free the picture";
  EXPECT_TRUE(boxes.Seen().empty());
  // The tray icon's left click toggles through the command.
  SendMessageA(app.MainWindow(), 2024, 1, WM_LBUTTONDOWN);
  testutil::PumpUntil([&] { return panel.Hidden == 0; }, 2000);
  EXPECT_EQ(panel.Hidden, 0);
  CloseAndDrain(app);
}

TEST_F(LauncherAppTest, ItemsGetOneImageEachEvenWithoutAnIcon) {
  {
    ItemStore store;
    store.Put(0, 0, "missing", "C:\\nowhere\\none.exe", "C:\\", "C:\\nowhere\\none.exe");
    store.Put(1, 0, "second", "C:\\nowhere\\two.exe", "C:\\", "C:\\nowhere\\two.exe");
  }
  PrepareLaterStart();
  LauncherApp app;
  ASSERT_EQ(app.Start(GetModuleHandleA(nullptr)), 1);
  EXPECT_EQ(app.Panel().items.ItemCount(), 2);
  EXPECT_EQ(app.Panel().PendingIcons(), 2) << "the list is made once the loop runs";
  ASSERT_TRUE(testutil::PumpUntil([&] { return app.Panel().PendingIcons() == 0; }, 5000));
  EXPECT_EQ(ImageList_GetImageCount(app.Panel().ImageList.get()), 2);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(app.Panel().ImageList.get(), &cx, &cy);
  EXPECT_EQ(cx, 24);
  EXPECT_EQ(cy, 24);
  CloseAndDrain(app);
}

}  // namespace
