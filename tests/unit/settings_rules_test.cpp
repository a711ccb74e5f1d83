#include "settings/settings_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/startup_rules.h"

namespace {

PanelSettings Defaults() {
  PanelSettings s;
  std::memset(&s, 0x55, sizeof s);
  settings_rules::ApplyDefaults(&s);
  return s;
}

std::string Text(const PanelSettings& s, const char* name) {
  for (const settings_rules::Key& key : settings_rules::kKeys) {
    if (std::strcmp(key.name, name) == 0) {
      char buffer[260];
      return settings_rules::TextToWrite(s, key, buffer, sizeof buffer);
    }
  }
  return "<no key " + std::string(name) + ">";
}

TEST(SettingsRules, DefaultsLeaveTheWorkCopyAndPathAlone) {
  // Every default is checked against the real file in settings_file_test.
  const PanelSettings s = Defaults();
  EXPECT_STREQ(s.Wallpaper, "sample.bmp");
  EXPECT_EQ(static_cast<unsigned char>(s.WallpaperWork[0]), 0x55);
  EXPECT_EQ(static_cast<unsigned char>(s.SettingsPath[0]), 0x55);
}

TEST(SettingsRules, TextsWritten) {
  PanelSettings s = Defaults();
  s.Left = -300;
  s.Top = -2147483647 - 1;
  s.Bitmap = 0;
  s.CheckFlag = 5;
  std::strcpy(s.Wallpaper, "C:\\壁紙\\表.bmp");
  EXPECT_EQ(Text(s, "Left"), "-300");
  EXPECT_EQ(Text(s, "Top"), "-2147483648");
  EXPECT_EQ(Text(s, "Bitmap"), "0");
  EXPECT_EQ(Text(s, "CheckFlag"), "1");
  s.CheckFlag = 0;
  EXPECT_EQ(Text(s, "CheckFlag"), "1");
  EXPECT_EQ(Text(s, "Wallpaper"), "C:\\壁紙\\表.bmp");
}

TEST(SettingsRules, GuardsOnLoad) {
  struct Case {
    const char* what;
    std::int32_t iconSize, left, top, right, bottom;
    std::int32_t wantIconSize, wantLeft, wantTop, wantRight, wantBottom;
  } cases[] = {
      {"usable values stay", 40, 10, 20, 110, 220, 40, 10, 20, 110, 220},
      {"smallest cell", 24, 0, 0, 1, 1, 24, 0, 0, 1, 1},
      {"largest cell", 168, 0, 0, 1, 1, 168, 0, 0, 1, 1},
      {"cell 23", 23, 0, 0, 1, 1, 24, 0, 0, 1, 1},
      {"cell 0", 0, 0, 0, 1, 1, 24, 0, 0, 1, 1},
      {"negative cell", -5, 0, 0, 1, 1, 24, 0, 0, 1, 1},
      {"cell 169", 169, 0, 0, 1, 1, 168, 0, 0, 1, 1},
      {"left of the screen", 32, -300, -200, -36, 0, 32, -300, -200, -36, 0},
      {"zero width", 32, 50, 0, 50, 100, 32, 78, 143, 342, 343},
      {"right before left", 32, 400, 0, 100, 100, 32, 78, 143, 342, 343},
      {"zero height", 32, 0, 60, 100, 60, 32, 78, 143, 342, 343},
      {"bottom above top", 32, 0, 60, 100, 10, 32, 78, 143, 342, 343},
      {"widest", 32, -32767, 0, 0, 100, 32, -32767, 0, 0, 100},
      {"one pixel too wide", 32, -32768, 0, 0, 100, 32, 78, 143, 342, 343},
      {"one pixel too tall", 32, 0, 0, 100, 32768, 32, 78, 143, 342, 343},
      {"extremes", 32, -2147483647 - 1, 0, 2147483647, 100, 32, 78, 143, 342, 343},
  };
  for (const Case& c : cases) {
    PanelSettings s = Defaults();
    s.IconSize = c.iconSize;
    s.Left = c.left;
    s.Top = c.top;
    s.Right = c.right;
    s.Bottom = c.bottom;
    s.TopMost = 7;
    s.CheckFlag = 5;
    settings_rules::GuardLoaded(&s);
    EXPECT_EQ(s.IconSize, c.wantIconSize) << c.what;
    EXPECT_EQ((std::to_string(s.Left) + "," + std::to_string(s.Top) + "," +
               std::to_string(s.Right) + "," + std::to_string(s.Bottom)),
              (std::to_string(c.wantLeft) + "," + std::to_string(c.wantTop) + "," +
               std::to_string(c.wantRight) + "," + std::to_string(c.wantBottom)))
        << c.what;
    EXPECT_EQ(s.TopMost, 7) << c.what;
    EXPECT_EQ(s.CheckFlag, 5) << c.what;
  }
}

TEST(SettingsRules, AppendFileName) {
  struct Case {
    const char* dir;
    const char* expected;  // nullptr: refused
  } cases[] = {
      {"C:\\Tools", "C:\\Tools\\a.ini"},
      {"C:\\", "C:\\a.ini"},
      {"", nullptr},
      // ソ and 表 end in a 0x5C trail byte: still a separator is needed.
      {"C:\\ソ", "C:\\ソ\\a.ini"},
      {"C:\\表", "C:\\表\\a.ini"},
      {"C:\\表\\", "C:\\表\\a.ini"},
  };
  for (const Case& c : cases) {
    char out[260] = "junk";
    const bool ok = settings_rules::AppendFileName(c.dir, "a.ini", out, sizeof out);
    EXPECT_EQ(ok, c.expected != nullptr) << c.dir;
    EXPECT_STREQ(out, c.expected != nullptr ? c.expected : "") << c.dir;
  }
  // "C:\abcde\a.ini" needs 15 bytes with the terminator.
  char small[15];
  EXPECT_TRUE(settings_rules::AppendFileName("C:\\abcde", "a.ini", small, sizeof small));
  EXPECT_FALSE(settings_rules::AppendFileName("C:\\abcdef", "a.ini", small, sizeof small));
  EXPECT_STREQ(small, "");
}

TEST(StartupRules, ComposedPaths) {
  StartupPaths p;
  startup_rules::ComposePaths("C:\\Work", "C:\\Start\\スタートアップ", &p);
  EXPECT_STREQ(p.WorkDir, "C:\\Work");
  EXPECT_STREQ(p.ProgramPath, "C:\\Work\\NuboTesa.Exe");
  EXPECT_STREQ(p.ShortcutPath, "C:\\Start\\スタートアップ\\NuboTesa.lnk");
  startup_rules::ComposePaths("C:\\", nullptr, &p);
  EXPECT_STREQ(p.WorkDir, "C:\\");
  EXPECT_STREQ(p.ProgramPath, "C:\\NuboTesa.Exe");
  EXPECT_STREQ(p.ShortcutPath, "");
}

TEST(StartupRules, PathsThatWouldNotFitStayEmpty) {
  // "\NuboTesa.lnk" and "\NuboTesa.Exe" are 13 bytes: a 246-byte folder fills
  // the 260-byte field exactly, a 247-byte one would not fit.
  struct Case {
    std::size_t length;
    bool fits;
  } cases[] = {{246, true}, {247, false}, {259, false}};
  for (const Case& c : cases) {
    const std::string dir = "C:\\" + std::string(c.length - 3, 'd');
    StartupPaths p;
    startup_rules::ComposePaths(dir.c_str(), dir.c_str(), &p);
    EXPECT_EQ(std::strlen(p.ShortcutPath), c.fits ? 259u : 0u) << c.length;
    EXPECT_EQ(std::strlen(p.ProgramPath), c.fits ? 259u : 0u) << c.length;
    EXPECT_EQ(std::strlen(p.WorkDir), c.fits ? c.length : 0u) << c.length;
  }
}

TEST(StartupRules, ChosenAction) {
  using startup_rules::ShortcutAction;
  StartupPaths known;
  startup_rules::ComposePaths("C:\\Work", "C:\\Start", &known);
  StartupPaths noFolder;
  startup_rules::ComposePaths("C:\\Work", nullptr, &noFolder);
  StartupPaths noDir;
  startup_rules::ComposePaths(nullptr, "C:\\Start", &noDir);
  struct Case {
    const char* what;
    const StartupPaths& paths;
    std::int32_t startup;
    ShortcutAction expected;
  } cases[] = {
      {"on", known, 1, ShortcutAction::Write},
      {"any non-zero is on", known, -1, ShortcutAction::Write},
      {"off", known, 0, ShortcutAction::Delete},
      {"no folder, on", noFolder, 1, ShortcutAction::None},
      {"no folder, off", noFolder, 0, ShortcutAction::None},
      {"no target, on", noDir, 1, ShortcutAction::None},
      {"no target, off", noDir, 0, ShortcutAction::Delete},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<int>(startup_rules::ChooseAction(c.paths, c.startup)),
              static_cast<int>(c.expected))
        << c.what;
  }
}

}  // namespace
