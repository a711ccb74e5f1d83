// The command surface of the real application object, used as a user would:
// the tray icon's clicks, the context menus chosen with their mnemonics or
// dismissed with Escape, every command, the about box, and one modal window
// at a time.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "app/launcher_app.h"
#include "platform/file.h"
#include "resources/resource.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/menu_driver.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

const char kSettingsCaption[] = "設定ダイアログ";
const char kAboutCaption[] = "サポート情報";
const char kEditCaption[] = "登録内容の変更";
const std::vector<UINT> kPanelMenu = {40003, 40005, 0, 40010, 0, 40007};
const std::vector<UINT> kItemMenu = {40001, 40002, 0, 0, 40003, 40005, 0, 40010, 0, 40007};

// Counts the times the main window is shown or hidden, and the menus that end.
thread_local int showChanges = 0;
thread_local HWND watched = nullptr;
thread_local int menuLoopsEnded = 0;
LRESULT CALLBACK CountShows(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code >= 0 && m->hwnd == watched && m->message == WM_SHOWWINDOW) ++showChanges;
  if (code >= 0 && m->message == WM_EXITMENULOOP) ++menuLoopsEnded;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::int32_t CornerKey(int cell) {
  RECT d;
  GetClientRect(GetDesktopWindow(), &d);
  return (d.bottom / cell) * 128 + d.right / cell;
}

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() {
    boxes.Leave(kSettingsCaption);
    boxes.Leave(kEditCaption);
  }
  void SetUp() override {
    testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Startup", "0"}});
    testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
  }
  void TearDown() override {
    if (!app_ || !IsWindow(app_->MainWindow())) return;
    SendMessageA(app_->MainWindow(), WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(3000);
  }
  LauncherApp& Start(bool shown = false) {
    app_.reset(new LauncherApp);
    EXPECT_EQ(app_->Start(GetModuleHandleA(nullptr)), 1);
    if (shown) app_->Panel().ToggleHidden();
    return *app_;
  }
  HWND Main() { return app_->MainWindow(); }
  // A right press on the shown panel at client point (x, y), as the mouse
  // gives it.
  void RightPressAt(int x, int y) {
    PostMessageA(Main(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
  }
  // A right press that must open a menu. Shown again right after it was
  // hidden, the panel can still have the X server's late note that it lost
  // the focus on its way: Wine then ends the menu as it opens, before the
  // driver sees it (a user's press comes long after). Such a press is made
  // again, a few times at most; more than one press in a run that needs it
  // is a menu that closes by itself.
  bool RightPressForMenu(int x, int y) {
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountShows, nullptr, GetCurrentThreadId());
    const std::size_t before = menus.Seen().size();
    for (int press = 0; press < 3 && menus.Seen().size() == before; ++press) {
      const int ended = menuLoopsEnded;
      retriedPresses += press == 1 ? 1 : 0;
      RightPressAt(x, y);
      testutil::PumpUntil([&] { return menus.Seen().size() > before || menuLoopsEnded > ended; },
                          5000);
    }
    UnhookWindowsHookEx(hook);
    EXPECT_LE(retriedPresses, 1) << "presses that needed another in this run";
    return menus.Seen().size() > before;
  }
  static inline int retriedPresses = 0;
  void TrayClick(UINT mouseMessage) { PostMessageA(Main(), 2024, 1, mouseMessage); }

  ScopedTempDir dir;
  MessageBoxAnswerer boxes;
  MenuDriver menus;
  std::unique_ptr<LauncherApp> app_;
};

TEST_F(CommandsTest, TrayLeftPressTogglesOnceAndDoubleClickTwice) {
  LauncherApp& app = Start();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountShows, nullptr, GetCurrentThreadId());
  watched = Main();
  struct Case {
    std::vector<UINT> clicks;
    int toggles;
  } cases[] = {
      {{WM_LBUTTONDOWN}, 1},
      {{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}, 2},
      {{WM_LBUTTONDOWN}, 1},
      {{WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN}, 0},
  };
  int hidden = app.Panel().Hidden;
  for (const Case& c : cases) {
    showChanges = 0;
    for (UINT m : c.clicks) TrayClick(m);
    Drain();
    if (c.toggles % 2 == 1) hidden = 1 - hidden;
    EXPECT_EQ(showChanges, c.toggles) << "clicks " << c.clicks.size() << ", first " << c.clicks[0];
    EXPECT_EQ(app.Panel().Hidden, hidden) << "clicks " << c.clicks.size();
    EXPECT_EQ(IsWindowVisible(Main()) != FALSE, hidden == 0) << "clicks " << c.clicks.size();
  }
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(menus.Seen().empty()) << "a left click opened a menu";
}

TEST_F(CommandsTest, RightPressesOpenThePanelOrTheItemMenu) {
  const int corner = CornerKey(32);
  {
    ItemStore store;
    store.Put(1, 0, "one", "C:\\b.exe", "C:\\", "C:\\b.exe");
  }
  struct Case {
    const char* what;
    bool shown, trayPress, cornerItem;
    int x, y;  // client point of a panel press
    std::vector<UINT> ids;
    const char* toggleText;
  } cases[] = {
      {"tray, hidden", false, true, false, 0, 0, kPanelMenu, "最大化(&M)"},
      {"tray, shown", true, true, false, 0, 0, kPanelMenu, "最小化(&S)"},
      {"tray, item at the corner cell", false, true, true, 0, 0, kItemMenu, "最小化(&S)"},
      {"panel, empty cell", true, false, false, 5, 40, kPanelMenu, "最小化(&S)"},
      {"panel, item", true, false, false, 40, 5, kItemMenu, "最小化(&S)"},
  };
  RECT desktop;
  GetClientRect(GetDesktopWindow(), &desktop);
  const auto menusLive = platform::OwnedMenu::Live();
  // Another window in front, and a panel kept behind all windows.
  testutil::WriteIni("Nubotesa.ini", "Config", {{"TopMost", "0"}});
  HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                               nullptr, nullptr);
  for (const Case& c : cases) {
    if (c.cornerItem) {
      ItemStore store;
      store.Load();
      store.Put(corner, 0, "corner", "C:\\a.exe", "C:\\", "C:\\a.exe");
    }
    LauncherApp& app = Start(c.shown);
    SetForegroundWindow(other);
    const std::size_t before = menus.Seen().size();
    POINT at = {c.x, c.y};
    if (c.trayPress) {
      TrayClick(WM_RBUTTONDOWN);
      at = {desktop.right, desktop.bottom};
    } else {
      RightPressAt(c.x, c.y);
      ClientToScreen(Main(), &at);
    }
    ASSERT_TRUE(menus.WaitForMenus(before + 1)) << c.what;
    EXPECT_EQ(platform::OwnedMenu::Live(), menusLive) << c.what << ": the menu was not destroyed";
    const SeenMenu& m = menus.Seen().back();
    EXPECT_EQ(m.ids, c.ids) << c.what;
    const std::size_t toggleRow = c.ids == kPanelMenu ? 0 : 4;
    EXPECT_EQ(m.Row(toggleRow), c.toggleText) << c.what;
    if (c.trayPress) {
      // Moved up and left to fit: its bottom-right corner is the screen's.
      EXPECT_EQ(m.rect.right, desktop.right) << c.what;
      EXPECT_EQ(m.rect.bottom, desktop.bottom) << c.what;
    } else {
      EXPECT_EQ(m.rect.left, at.x) << c.what;
      EXPECT_EQ(m.rect.top, at.y) << c.what;
    }
    const std::int32_t key = c.trayPress ? corner : (c.y / 32) * 128 + c.x / 32;
    EXPECT_EQ(app.Panel().ContextKey, key) << c.what << ": a dismissed menu keeps the cell";
    EXPECT_EQ(app.Panel().Hidden, c.shown ? 0 : 1) << c.what << ": Escape changed something";
    EXPECT_TRUE(!c.shown || !c.trayPress || !GetWindow(Main(), GW_HWNDNEXT))
        << c.what << ": in front";
    TearDown();
  }
  DestroyWindow(other);
  EXPECT_FALSE(menus.Stuck());
}

// Each command as the user reaches it: a menu row by its mnemonic, or the
// posted identifier for those that no menu carries.
TEST_F(CommandsTest, EveryCommand) {
  {
    ItemStore store;
    store.Put(1, 0, "one", "C:\\b.exe", "C:\\", "C:\\b.exe");
  }
  enum Effect { kNothing, kToggle, kSettings, kAbout, kEdit, kDelete };
  struct Case {
    const char* what;
    int x;     // panel press at (x, 5): 5 an empty cell, 40 the item; -1 posts `id`
    WORD key;  // the mnemonic chosen
    UINT id;
    Effect effect;
  } cases[] = {
      {"panel menu: hide", 5, 'S', 0, kToggle},
      {"panel menu: settings", 5, 'C', 0, kSettings},
      {"panel menu: about", 5, 'V', 0, kAbout},
      {"item menu: edit", 40, 'C', 0, kEdit},
      {"item menu: delete", 40, 'D', 0, kDelete},
      {"item menu: hide", 40, 'S', 0, kToggle},
      {"item menu: settings", 40, 'P', 0, kSettings},
      {"item menu: about", 40, 'V', 0, kAbout},
      {"40004", -1, 0, 40004, kNothing},
      {"40006", -1, 0, 40006, kNothing},
      {"40008 edits like 40001", -1, 0, 40008, kEdit},
      {"40009", -1, 0, 40009, kNothing},
      {"40011", -1, 0, 40011, kNothing},
      {"menu notification code is ignored", -1, 0, MAKEWPARAM(40003, 1), kToggle},
  };
  // A hidden panel passes the activation to the next window. Were that Wine's
  // system tray window, its process would take the X focus whenever it next
  // runs, possibly after the panel is shown again: a window of this thread
  // right below the panel takes it at once.
  const std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)> below(
      CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0,
                      1, 1, nullptr, nullptr, nullptr, nullptr),
      &DestroyWindow);
  LauncherApp& app = Start(true);
  for (const Case& c : cases) {
    LauncherPanel& panel = app.Panel();
    if (panel.Hidden == 1) panel.ToggleHidden();
    SetWindowPos(below.get(), Main(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    panel.ContextKey = 1;
    boxes.Clear();
    const std::string iniBefore = ReadWholeFile(dir.File("Nubotesa.ini"));
    if (!panel.items.HasKey(1)) {
      panel.items.Put(1, 0, "one", "C:\\b.exe", "C:\\", "C:\\b.exe");
      panel.RebuildImageList();
    }
    bool settingsOpened = false, editOpened = false;
    WhenDialogOpens settings(kSettingsCaption, [&](HWND d) {
      settingsOpened = true;
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    WhenDialogOpens edit(kEditCaption, [&](HWND d) {
      editOpened = true;
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    if (c.x >= 0) {
      menus.Queue({c.key});
      ASSERT_TRUE(RightPressForMenu(c.x, 5)) << c.what;
    } else {
      PostMessageA(Main(), WM_COMMAND, c.id, 0);
    }
    Drain();
    // Dialogs open from the loop; wait only for those that must open.
    const bool opens = c.effect == kSettings || c.effect == kEdit;
    testutil::PumpUntil([&] { return !opens || settingsOpened || editOpened; }, 3000);
    EXPECT_EQ(panel.Hidden, c.effect == kToggle ? 1 : 0) << c.what;
    EXPECT_EQ(settingsOpened, c.effect == kSettings) << c.what;
    ASSERT_EQ(boxes.Seen().size(), c.effect == kAbout ? 1u : 0u) << c.what;
    if (c.effect == kAbout) {
      EXPECT_EQ(boxes.Seen()[0].caption, kAboutCaption);
    }
    EXPECT_EQ(editOpened, c.effect == kEdit) << c.what;
    EXPECT_EQ(panel.items.HasKey(1), c.effect == kDelete ? 0 : 1) << c.what;
    if (c.effect == kEdit || c.effect == kDelete) {
      EXPECT_EQ(panel.ContextKey, -1) << c.what;
    }
    if (c.effect != kToggle) {
      EXPECT_EQ(ReadWholeFile(dir.File("Nubotesa.ini")), iniBefore) << c.what;
    }
  }
  EXPECT_FALSE(menus.Stuck());
  // Last, exit from the panel menu: the normal close, exit code 0.
  menus.Queue({'E'});
  RightPressAt(5, 5);
  EXPECT_EQ(testutil::RunUntilQuit(), 0);
  EXPECT_FALSE(IsWindow(Main()));
}

TEST_F(CommandsTest, AboutBoxEndsWithTwoByEnterEscapeOrOk) {
  LauncherApp& app = Start();
  struct Case {
    const char* what;
    UINT message;
    WPARAM wParam;
    bool toFocus;  // sent to the control with the focus, as typed keys are
  } cases[] = {
      {"Enter", WM_KEYDOWN, VK_RETURN, true},
      {"Escape", WM_KEYDOWN, VK_ESCAPE, true},
      {"OK button", BM_CLICK, 0, true},
  };
  boxes.Leave(kAboutCaption);
  for (const Case& c : cases) {
    std::string mail, web, mailLabel;
    bool focusOnOk = false;
    WhenDialogOpens script(kAboutCaption, [&](HWND d) {
      mail = testutil::ItemText(d, IDC_ABOUT_MAIL);
      web = testutil::ItemText(d, IDC_ABOUT_WEB);
      mailLabel = testutil::ItemText(d, IDC_ABOUT_MAIL_LABEL);
      focusOnOk = GetFocus() == GetDlgItem(d, IDOK);
      PostMessageA(GetFocus(), c.message, c.wParam, 0);
    });
    const INT_PTR result =
        DialogBoxParamW(app.Instance(), MAKEINTRESOURCEW(IDD_ABOUT), Main(), AboutDialogProc, 0);
    EXPECT_EQ(result, 2) << c.what;
    EXPECT_TRUE(focusOnOk) << c.what;
    EXPECT_EQ(mailLabel, "Email");
    EXPECT_NE(mail.find('@'), std::string::npos) << mail;
    EXPECT_EQ(web.rfind("https://", 0), 0u) << web;
  }
}

struct DialogCount {
  const char* caption;
  int n;
};

BOOL CALLBACK CountIfCaptioned(HWND w, LPARAM l) {
  auto* c = reinterpret_cast<DialogCount*>(l);
  if (IsWindowVisible(w) && testutil::WindowText(w) == c->caption) ++c->n;
  return TRUE;
}

int CountDialogs(const char* caption) {
  DialogCount count = {caption, 0};
  EnumThreadWindows(GetCurrentThreadId(), CountIfCaptioned, reinterpret_cast<LPARAM>(&count));
  return count.n;
}

// While the settings dialog is open, the tray menu asks for it again or for
// the about box: the open dialog comes to the front and stays the only one.
TEST_F(CommandsTest, SecondRequestBringsTheOpenDialogForward) {
  Start(true);
  for (WORD key : {WORD('C'), WORD('V')}) {
    int dialogs = 0;
    bool inFront = false;
    WhenDialogOpens script(kSettingsCaption, [&](HWND d) {
      // A second dialog, should one open, is cancelled so that the test ends.
      WhenDialogOpens second(
          kSettingsCaption,
          [&](HWND d2) {
            ++dialogs;
            PostMessageA(d2, WM_COMMAND, IDCANCEL, 0);
          },
          d);
      menus.Queue({key});
      TrayClick(WM_RBUTTONDOWN);
      menus.WaitForMenus(menus.Seen().size() + 1);
      Drain();
      dialogs += CountDialogs(kSettingsCaption);
      inFront = GetForegroundWindow() == d;
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageA(Main(), WM_COMMAND, ID_PANEL_SETTINGS, 0);
    ASSERT_TRUE(script.Ran()) << key;
    EXPECT_EQ(dialogs, 1) << "second request by " << char(key);
    EXPECT_TRUE(inFront) << "second request by " << char(key);
    EXPECT_TRUE(boxes.Seen().empty()) << "second request by " << char(key);
    EXPECT_EQ(CountDialogs(kSettingsCaption), 0);
  }
  EXPECT_FALSE(menus.Stuck());
}

// "終了(&E)" from the tray menu while a dialog is open: the dialog ends as
// Cancel, the program closes normally with exit code 0, and the settings file
// holds what it held before the dialog opened.
TEST_F(CommandsTest, ExitDuringAnOpenDialogStoresNothingAndExitsWithZero) {
  boxes.Leave(kAboutCaption);
  struct Case {
    const char* caption;
    UINT command;
  } cases[] = {
      {kSettingsCaption, ID_PANEL_SETTINGS},
      {kAboutCaption, ID_APP_ABOUT},
      {kEditCaption, ID_ITEM_EDIT},
  };
  {
    ItemStore store;
    store.Put(1, 0, "one", "C:\\b.exe", "C:\\", "C:\\b.exe");
  }
  const std::string items = ReadWholeFile(dir.File("NuboInfo.Dat"));
  for (const Case& c : cases) {
    Start(true);
    app_->Panel().ContextKey = 1;
    const std::string before = ReadWholeFile(dir.File("Nubotesa.ini"));
    WhenDialogOpens script(c.caption, [&](HWND d) {
      if (c.command == ID_PANEL_SETTINGS) {
        for (int id = IDC_SETTINGS_TOPMOST; id <= IDC_SETTINGS_LINE; ++id) {
          SendMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0);
        }
        SetDlgItemTextA(d, IDC_SETTINGS_ICON_SIZE, "100");
      } else if (c.command == ID_ITEM_EDIT) {
        SetDlgItemTextA(d, IDC_ITEM_TITLE, "half-edited");
      }
      menus.Queue({'E'});
      TrayClick(WM_RBUTTONDOWN);
    });
    SendMessageA(Main(), WM_COMMAND, c.command, 0);
    ASSERT_TRUE(script.Ran()) << c.caption;
    EXPECT_EQ(testutil::RunUntilQuit(), 0) << c.caption;
    EXPECT_FALSE(IsWindow(Main())) << c.caption;
    EXPECT_EQ(app_->Panel().settings.IconSize, 32) << c.caption;
    app_.reset();  // the normal teardown saves the settings
    EXPECT_EQ(ReadWholeFile(dir.File("Nubotesa.ini")), before) << c.caption;
    EXPECT_EQ(ReadWholeFile(dir.File("NuboInfo.Dat")), items) << c.caption;
    EXPECT_EQ(CountDialogs(c.caption), 0) << c.caption;
  }
  EXPECT_FALSE(menus.Stuck());
}

// A change the files do not take (a full disk with room for 100 bytes, a file
// held without sharing, a read-only file): one box names what was not saved,
// the file stays as it was, the records are the file's. On the full disk an
// item's edit or move overwrites and is stored.
TEST_F(CommandsTest, AChangeTheFilesRefuseShowsOneBoxAndChangesNothing) {
  const char* ways[] = {"full disk", "held", "read-only", "full, told at the close"};
  const char* ops[] = {"drop", "edit", "move", "swap", "delete", "settings", "exit"};
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::strcpy(std::strrchr(exe, '\\'), "\\icons10.dll");  // icons for the edit dialog
  for (int way = 0; way < 4; ++way) {
    for (int op = way == 3 ? 5 : 0; op < (way == 0 ? 5 : 7); ++op) {
      const std::string what = std::string(ops[op]) + ", " + ways[way];
      DeleteFileA(dir.File("NuboInfo.Dat").c_str());
      ItemStore seed;
      for (std::int32_t key : {1, 2}) seed.Put(key, 0, "t", exe, dir.Path().c_str(), exe);
      LauncherPanel& panel = Start(true).Panel();
      panel.RebuildImageList();
      const std::string file = op < 5 ? "NuboInfo.Dat" : "Nubotesa.ini", old = ReadWholeFile(file);
      ASSERT_TRUE(way != 2 || testutil::SetReadOnly(file, true)) << what;
      HANDLE held =
          way == 1 ? CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                   : INVALID_HANDLE_VALUE;
      if (way == 0) platform::LimitFileGrowthForTesting(100);
      platform::FailClosesForTesting(way == 3);
      WhenDialogOpens edit(kEditCaption, [](HWND d) {
        SetDlgItemTextA(d, IDC_ITEM_TITLE, "new");
        PostMessageA(d, WM_COMMAND, IDOK, 0);
      });
      WhenDialogOpens settings(kSettingsCaption,
                               [](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); });
      boxes.Clear();
      panel.ContextKey = 1;
      const int to = op == 2 ? 100 : 70;  // a move to an empty cell, a swap
      if (op == 0) panel.DropFile(dir.File("new.exe").c_str(), 100, 5);
      if (op == 1) panel.EditContextItem();
      if (op == 2 || op == 3)
        panel.PressAt(40, 5), panel.PointerMovedTo(to, 5), panel.ReleaseAt(to, 5);
      if (op == 4) panel.DeleteContextItem();
      if (op == 5) panel.ChangeSettings(), panel.EndMoveSize();  // the second refusal untold
      if (op == 6) TearDown(), app_.reset();
      platform::LimitFileGrowthForTesting(-1);
      platform::FailClosesForTesting(false);
      if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
      EXPECT_TRUE(way != 2 || testutil::SetReadOnly(file, false)) << what;
      const bool refused = way != 0 || op == 0 || op == 3 || op == 4;
      ASSERT_EQ(boxes.Seen().size(), refused ? 1u : 0u) << what;
      if (refused) {
        EXPECT_EQ(boxes.Seen()[0].caption, "ホコからの警告") << what;
        EXPECT_EQ(boxes.Seen()[0].text.rfind(op < 5 ? "登録内容を" : "設定を", 0), 0u) << what;
        // At exit the box has no owner left and comes up in front.
        EXPECT_TRUE(op < 6 || (boxes.Seen()[0].topmost && !boxes.Seen()[0].owner)) << what;
        EXPECT_EQ(ReadWholeFile(file), old) << what;
      }
      ItemStore stored;
      stored.Load();
      EXPECT_EQ(stored.ItemCount(), app_ ? panel.items.ItemCount() : 2) << what;
      for (int i = 0; app_ && i < stored.ItemCount() && i < panel.items.ItemCount(); ++i)
        EXPECT_EQ(std::memcmp(stored.RecordAt(i), panel.items.RecordAt(i), 920), 0) << what << i;
      TearDown();
    }
  }
}

// A tray click while the greeting or a show's wallpaper error is up: after
// the box the window is visible exactly when Hidden is 0.
TEST_F(CommandsTest, TrayClicksDuringABoxLeaveVisibilityAndHiddenInAgreement) {
  const char kWelcomeCaption[] = "ほこらぎ工房より";
  boxes.Leave(kWelcomeCaption);
  boxes.Leave("Error");
  struct Case {
    const char* what;
    bool welcome;  // else the wallpaper error of a show from the tray
    int clicks;
    int hidden;
  } cases[] = {
      {"welcome, one click", true, 1, 1},
      {"welcome, two clicks", true, 2, 0},
      {"wallpaper error, one click", false, 1, 1},
  };
  for (const Case& c : cases) {
    DeleteFileA(dir.File("Nubotesa.ini").c_str());
    ASSERT_TRUE(WriteWholeFile(dir.File("wall.bmp"), testutil::Bmp24(1, 1, {RGB(1, 2, 3)})));
    testutil::WriteIni(
        "Nubotesa.ini", "Config",
        {{"Bitmap", c.welcome ? "0" : "1"}, {"Wallpaper", "wall.bmp"}, {"Startup", "0"}});
    if (!c.welcome) testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
    WhenDialogOpens script(c.welcome ? kWelcomeCaption : "Error", [&](HWND box) {
      for (int i = 0; i < c.clicks; ++i) TrayClick(WM_LBUTTONDOWN);
      Drain();
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    LauncherApp& app = Start();
    if (!c.welcome) {
      DeleteFileA(dir.File("wall.bmp").c_str());
      TrayClick(WM_LBUTTONDOWN);
      testutil::PumpUntil([&] { return script.Ran(); }, 3000);
    }
    Drain();
    ASSERT_TRUE(script.Ran()) << c.what;
    EXPECT_EQ(app.Panel().Hidden, c.hidden) << c.what;
    EXPECT_EQ(IsWindowVisible(Main()) != FALSE, c.hidden == 0) << c.what;
    TearDown();
  }
}

}  // namespace
