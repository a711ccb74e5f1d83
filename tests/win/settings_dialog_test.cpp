// The settings dialog of the real application, driven through its controls:
// what it shows, the order of the OK checks with their messages and focus,
// Cancel, and what a confirmed change does to the panel.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "resources/resource.h"
#include "settings/settings_dialog.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/menu_driver.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

const char kCaption[] = "設定ダイアログ";
const char kWarning[] = "ホコからの警告";
const char kIconSizeRefused[] = "アイコンのサイズが指定範囲を超えています。";
const char kWallpaperRefused[] = "指定された背景画像は存在しないか、\nあるいは表示が出来ません。";

std::string Text(HWND d, int id) {
  return testutil::ItemText(d, id);
}
void Click(HWND d, int id) {
  SendMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0);
}
bool Checked(HWND d, int id) {
  return IsDlgButtonChecked(d, id) == BST_CHECKED;
}
bool Enabled(HWND d, int id) {
  return IsWindowEnabled(GetDlgItem(d, id)) != FALSE;
}

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() { boxes.Leave(kCaption); }
  void SetUp() override {
    testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Startup", "0"}});
    testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
  }
  void TearDown() override {
    if (!app_ || !IsWindow(app_->MainWindow())) return;
    SendMessageA(app_->MainWindow(), WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(3000);
  }
  LauncherApp& Start() {
    app_.reset(new LauncherApp);
    EXPECT_EQ(app_->Start(GetModuleHandleA(nullptr)), 1);
    return *app_;
  }
  // The settings command with `script` driving the dialog; true when the
  // dialog opened and is gone again.
  bool RunSettings(const std::function<void(HWND)>& script) {
    WhenDialogOpens when(kCaption, script);
    SendMessageA(app_->MainWindow(), WM_COMMAND, ID_PANEL_SETTINGS, 0);
    return when.Ran() && FindThreadWindow("#32770", kCaption) == nullptr;
  }
  std::string Ini() { return ReadWholeFile(dir.File("Nubotesa.ini")); }
  int Saved(const char* section, const char* key) {
    return testutil::ReadIniInt("Nubotesa.ini", section, key, -99999);
  }

  ScopedTempDir dir;
  MessageBoxAnswerer boxes;
  std::unique_ptr<LauncherApp> app_;
};

TEST_F(SettingsDialogTest, IconSizeFieldShowsTheCellLessEightAndAcceptsSixteenToOneSixty) {
  Start();
  struct Attempt {
    const char* typed;
    bool accepted;
  };
  struct Session {
    std::vector<Attempt> attempts;  // the last one is accepted
    int savedCell;
  } sessions[] = {
      {{{"15", false}, {"161", false}, {"", false}, {"4294967304", false}, {"16", true}}, 24},
      {{{"160", true}}, 168},
      {{{nullptr, true}}, 168},  // unchanged: the field as shown
  };
  int shownCell = 32;
  for (const Session& s : sessions) {
    std::string shown;
    ASSERT_TRUE(RunSettings([&](HWND d) {
      shown = Text(d, IDC_SETTINGS_ICON_SIZE);
      for (const Attempt& a : s.attempts) {
        boxes.Clear();
        if (a.typed != nullptr) SetDlgItemTextA(d, IDC_SETTINGS_ICON_SIZE, a.typed);
        SetFocus(GetDlgItem(d, IDC_SETTINGS_TOPMOST));
        Click(d, IDOK);
        const char* typed = a.typed ? a.typed : "<as shown>";
        if (a.accepted) {
          EXPECT_TRUE(boxes.Seen().empty()) << typed;
          continue;
        }
        ASSERT_EQ(boxes.Seen().size(), 1u) << typed;
        EXPECT_EQ(boxes.Seen()[0].text, kIconSizeRefused) << typed;
        EXPECT_EQ(boxes.Seen()[0].caption, kWarning) << typed;
        EXPECT_EQ(boxes.Seen()[0].owner, d) << typed;
        EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_SETTINGS_ICON_SIZE)) << typed;
        EXPECT_TRUE(IsWindowVisible(d)) << typed << ": the dialog closed";
      }
    }));
    EXPECT_EQ(shown, std::to_string(shownCell - 8));
    EXPECT_EQ(Saved("Config", "IconSize"), s.savedCell);
    EXPECT_EQ(app_->Panel().settings.IconSize, s.savedCell);
    shownCell = s.savedCell;
  }
}

TEST_F(SettingsDialogTest, WallpaperIsCheckedOnlyWhileTheBackgroundIsOn) {
  ASSERT_TRUE(WriteWholeFile(dir.File("notes.txt"), "not a picture\r\n"));
  ASSERT_TRUE(WriteWholeFile(dir.File("short.bmp"), "BM\x10"));  // passes: only "BM" counts
  Start();
  struct Attempt {
    const char* what;
    bool clickBackground;  // toggles "背景を表示" first
    std::string path;
    bool refused;
  } attempts[] = {
      {"on, text file", true, dir.File("notes.txt"), true},
      {"on, missing file", false, dir.File("none.bmp"), true},
      {"off, text file", true, dir.File("notes.txt"), false},
  };
  ASSERT_TRUE(RunSettings([&](HWND d) {
    EXPECT_FALSE(Enabled(d, IDC_SETTINGS_WALLPAPER));
    EXPECT_FALSE(Enabled(d, IDC_SETTINGS_BROWSE)) << "browse enabled while the background is off";
    EXPECT_EQ(Text(d, IDC_SETTINGS_WALLPAPER), "sample.bmp");
    for (const Attempt& a : attempts) {
      boxes.Clear();
      if (a.clickBackground) Click(d, IDC_SETTINGS_BITMAP);
      const bool on = Checked(d, IDC_SETTINGS_BITMAP);
      EXPECT_EQ(Enabled(d, IDC_SETTINGS_WALLPAPER), on) << a.what;
      EXPECT_EQ(Enabled(d, IDC_SETTINGS_BROWSE), on) << a.what;
      SetDlgItemTextA(d, IDC_SETTINGS_WALLPAPER, a.path.c_str());
      SetDlgItemTextA(d, IDC_SETTINGS_ICON_SIZE, "999");  // not looked at when the path fails
      if (!a.refused) SetDlgItemTextA(d, IDC_SETTINGS_ICON_SIZE, "24");
      Click(d, IDOK);
      ASSERT_EQ(boxes.Seen().size(), a.refused ? 1u : 0u) << a.what;
      if (a.refused) {
        EXPECT_EQ(boxes.Seen()[0].text, kWallpaperRefused) << a.what;
        EXPECT_EQ(boxes.Seen()[0].caption, kWarning) << a.what;
      }
    }
  }));
  EXPECT_EQ(std::string(app_->Panel().settings.Wallpaper), dir.File("notes.txt"));
  EXPECT_EQ(Saved("Config", "Bitmap"), 0);
  // "BM" and nothing else passes the dialog; loading it is the loader's
  // business (it refuses with its own message).
  boxes.Clear();
  ASSERT_TRUE(RunSettings([&](HWND d) {
    Click(d, IDC_SETTINGS_BITMAP);
    SetDlgItemTextA(d, IDC_SETTINGS_WALLPAPER, dir.File("short.bmp").c_str());
    Click(d, IDOK);
  }));
  EXPECT_EQ(Saved("Config", "Bitmap"), 1);
  EXPECT_EQ(IsBmpFile(dir.File("short.bmp").c_str()), 1);
  EXPECT_EQ(IsBmpFile(dir.File("notes.txt").c_str()), 0);
}

TEST_F(SettingsDialogTest, CancelAfterChangingEverythingChangesNothing) {
  LauncherApp& app = Start();
  const std::string before = Ini();
  PanelSettings settingsBefore;
  std::memcpy(&settingsBefore, &app.Panel().settings, sizeof settingsBefore);
  for (bool escape : {false, true}) {
    ASSERT_TRUE(RunSettings([&](HWND d) {
      for (int id = IDC_SETTINGS_TOPMOST; id <= IDC_SETTINGS_BITMAP; ++id) Click(d, id);
      SetDlgItemTextA(d, IDC_SETTINGS_ICON_SIZE, "100");
      SetDlgItemTextA(d, IDC_SETTINGS_WALLPAPER, "other.bmp");
      if (escape) {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
      } else {
        Click(d, IDCANCEL);
      }
    })) << (escape ? "Escape" : "Cancel");
    EXPECT_EQ(Ini(), before) << (escape ? "Escape" : "Cancel");
    EXPECT_EQ(std::memcmp(&settingsBefore, &app.Panel().settings, sizeof settingsBefore), 0);
    EXPECT_EQ(app.Panel().Hidden, 1);
    EXPECT_FALSE(IsWindowVisible(app.MainWindow()));
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(SettingsDialogTest, ConfirmedChangesReachTheWindowTheShortcutAndTheGrid) {
  testutil::WriteIni("Nubotesa.ini", "Config", {{"Startup", "1"}, {"TopMost", "1"}});
  {
    ItemStore store;
    store.Put(0, 0, "one", "C:\\a.exe", "C:\\", "C:\\a.exe");
  }
  LauncherApp& app = Start();
  LauncherPanel& panel = app.Panel();
  HWND w = app.MainWindow();
  const std::string shortcut = panel.startup.ShortcutPath;
  ASSERT_FALSE(shortcut.empty());
  ASSERT_TRUE(FileExists(shortcut));
  struct Case {
    const char* what;
    std::vector<int> clicks;
    const char* iconSize;
    bool topMost, startup;
  } cases[] = {
      {"TopMost and Startup off, icons 40",
       {IDC_SETTINGS_TOPMOST, IDC_SETTINGS_STARTUP},
       "40",
       false,
       false},
      {"both on again, icons 16", {IDC_SETTINGS_TOPMOST, IDC_SETTINGS_STARTUP}, "16", true, true},
  };
  for (const Case& c : cases) {
    if (panel.Hidden == 0) panel.ToggleHidden();  // OK shows a hidden panel
    RECT before;
    GetClientRect(w, &before);
    ASSERT_TRUE(RunSettings([&](HWND d) {
      for (int id : c.clicks) Click(d, id);
      SetDlgItemTextA(d, IDC_SETTINGS_ICON_SIZE, c.iconSize);
      Click(d, IDOK);
    })) << c.what;
    const int cell = std::atoi(c.iconSize) + 8;
    EXPECT_EQ(panel.Hidden, 0) << c.what;
    EXPECT_TRUE(IsWindowVisible(w)) << c.what;
    const bool top = (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    EXPECT_EQ(top, c.topMost) << c.what;
    if (!c.topMost) {
      for (HWND n = GetWindow(w, GW_HWNDNEXT); n != nullptr; n = GetWindow(n, GW_HWNDNEXT)) {
        char name[64] = "";
        GetWindowTextA(n, name, sizeof name);
        EXPECT_FALSE(IsWindowVisible(n)) << c.what << ": below \"" << name << "\"";
      }
    }
    EXPECT_EQ(FileExists(shortcut), c.startup) << c.what;
    // The client area is rounded up to whole cells of the new size.
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, (before.right + cell - 1) / cell * cell) << c.what;
    EXPECT_EQ(client.bottom, (before.bottom + cell - 1) / cell * cell) << c.what;
    EXPECT_EQ(panel.GridWidth, client.right) << c.what;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(panel.ImageList.get(), &cx, &cy);
    EXPECT_EQ(cx, cell - 8) << c.what;
    EXPECT_EQ(ImageList_GetImageCount(panel.ImageList.get()), 1) << c.what;
    EXPECT_EQ(Saved("Config", "IconSize"), cell) << c.what;
    EXPECT_EQ(Saved("Config", "TopMost"), c.topMost ? 1 : 0) << c.what;
    EXPECT_EQ(Saved("Config", "Startup"), c.startup ? 1 : 0) << c.what;
  }
  DeleteFileA(shortcut.c_str());
}

// The browse button runs the file dialog ("開く"): a chosen BMP goes into the
// field, anything else is refused and the field keeps its text; the current
// directory, which the relative wallpaper and the item file depend on, stays.
TEST_F(SettingsDialogTest, BrowseTakesOnlyBitmapsAndKeepsTheCurrentDirectory) {
  const char kFileDialog[] = "開く";
  boxes.Leave(kFileDialog);
  CreateDirectoryA(dir.File("pics").c_str(), nullptr);
  ASSERT_TRUE(WriteWholeFile(dir.File("pics\\notes.txt"), "text"));
  ASSERT_TRUE(WriteWholeFile(dir.File("pics\\wall.bmp"), testutil::Bmp24(1, 1, {RGB(1, 2, 3)})));
  Start();
  struct Case {
    std::string chosen;
    std::string field;  // what 1006 shows afterwards
  } cases[] = {
      {dir.File("pics\\notes.txt"), "sample.bmp"},
      {dir.File("pics\\wall.bmp"), dir.File("pics\\wall.bmp")},
  };
  ASSERT_TRUE(RunSettings([&](HWND d) {
    Click(d, IDC_SETTINGS_BITMAP);
    for (const Case& c : cases) {
      boxes.Clear();
      bool chose = false;
      WhenDialogOpens files(
          kFileDialog,
          [&](HWND f) {
            // The name field: edt1 in the old layout, cmb13 in the newer one.
            const platform::WideText chosen(c.chosen.c_str());
            chose = SetDlgItemTextW(f, 0x480, chosen.get()) != FALSE ||
                    SetDlgItemTextW(f, 0x47C, chosen.get()) != FALSE;
            PostMessageA(f, WM_COMMAND, IDOK, 0);
          },
          d);
      Click(d, IDC_SETTINGS_BROWSE);
      EXPECT_TRUE(chose) << c.chosen;
      EXPECT_EQ(Text(d, IDC_SETTINGS_WALLPAPER), c.field) << c.chosen;
      const bool refused = c.field != c.chosen;
      ASSERT_EQ(boxes.Seen().size(), refused ? 1u : 0u) << c.chosen;
      if (refused) {
        EXPECT_EQ(boxes.Seen()[0].text, "指定されたファイルを読みこめませんでした。");
        EXPECT_EQ(boxes.Seen()[0].caption, kWarning);
      }
      char current[MAX_PATH] = "";
      GetCurrentDirectoryA(sizeof current, current);
      EXPECT_EQ(std::string(current), dir.Path()) << "after choosing " << c.chosen;
    }
    Click(d, IDOK);
  }));
  EXPECT_EQ(std::string(app_->Panel().settings.Wallpaper), dir.File("pics\\wall.bmp"));
  EXPECT_EQ(Saved("Config", "Bitmap"), 1);
}

}  // namespace
