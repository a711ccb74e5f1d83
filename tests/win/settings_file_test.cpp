// The settings file through the real private-profile functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/ini_text.h"
#include "settings/panel_settings.h"
#include "settings/settings_rules.h"
#include "tests/support/scoped_temp_dir.h"

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  std::string IniPath() const { return dir.File("Nubotesa.ini"); }
  std::string IniText() const { return ReadWholeFile(IniPath()); }

  PanelSettings Loaded() const {
    PanelSettings s;
    std::memset(&s, 0, sizeof s);
    s.Load();
    return s;
  }

  ScopedTempDir dir;
};

TEST_F(SettingsFileTest, NoFileGivesDefaultsAndFirstSaveWritesEveryKeyInOrder) {
  PanelSettings s = Loaded();
  EXPECT_STREQ(s.SettingsPath, IniPath().c_str());
  EXPECT_EQ(s.TopMost, 1);
  EXPECT_EQ(s.Small, 1);
  EXPECT_EQ(s.Area, 1);
  EXPECT_EQ(s.Startup, 1);
  EXPECT_EQ(s.Bitmap, 1);
  EXPECT_EQ(s.Line, 0);
  EXPECT_STREQ(s.Wallpaper, "sample.bmp");
  EXPECT_EQ(s.IconSize, 32);
  EXPECT_EQ(s.Left, 78);
  EXPECT_EQ(s.Top, 143);
  EXPECT_EQ(s.Right, 342);
  EXPECT_EQ(s.Bottom, 343);
  EXPECT_EQ(s.CheckFlag, 0);
  EXPECT_FALSE(FileExists(IniPath()));

  s.Save();
  EXPECT_EQ(IniText(),
            "[Config]\r\nTopMost=1\r\nSmall=1\r\nArea=1\r\nStartup=1\r\nLine=0\r\nBitmap=1\r\n"
            "IconSize=32\r\nWallpaper=sample.bmp\r\n"
            "[Rect]\r\nTop=143\r\nBottom=343\r\nLeft=78\r\nRight=342\r\n"
            "[Check]\r\nCheckFlag=1\r\n");
}

TEST_F(SettingsFileTest, PathIsFixedWhenLoaded) {
  PanelSettings s = Loaded();
  {
    ScopedTempDir other;
    s.Save();
    EXPECT_FALSE(FileExists(other.File("Nubotesa.ini")));
  }
  EXPECT_TRUE(FileExists(IniPath()));
}

TEST_F(SettingsFileTest, NegativeRectangleSurvivesSaveAndLoad) {
  PanelSettings s = Loaded();
  s.Left = -300;
  s.Top = -1024;
  s.Right = -36;
  s.Bottom = 0;
  s.Save();
  const std::string text = IniText();
  EXPECT_NE(text.find("\r\nLeft=-300\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nTop=-1024\r\n"), std::string::npos) << text;
  const PanelSettings back = Loaded();
  EXPECT_EQ(back.Left, -300);
  EXPECT_EQ(back.Top, -1024);
  EXPECT_EQ(back.Right, -36);
  EXPECT_EQ(back.Bottom, 0);
}

TEST_F(SettingsFileTest, LongWallpaperPathReadsBackCut) {
  const std::string path = "C:\\" + std::string(297, 'w');
  ASSERT_EQ(path.size(), 300u);
  ASSERT_TRUE(WriteWholeFile(IniPath(), "[Config]\r\nWallpaper=" + path + "\r\n"));
  const PanelSettings s = Loaded();
  EXPECT_EQ(std::string(s.Wallpaper), path.substr(0, 259));
}

TEST_F(SettingsFileTest, JapaneseWallpaperPathRoundTrips) {
  PanelSettings s = Loaded();
  std::strcpy(s.Wallpaper, "C:\\壁紙\\表ソ.bmp");
  s.Save();
  EXPECT_STREQ(Loaded().Wallpaper, "C:\\壁紙\\表ソ.bmp");
}

TEST_F(SettingsFileTest, RunMarkerIsReadAsItIsAndAlwaysWrittenAsOne) {
  ASSERT_TRUE(WriteWholeFile(IniPath(), "[Check]\r\nCheckFlag=5\r\n"));
  PanelSettings s = Loaded();
  EXPECT_EQ(s.CheckFlag, 5);
  s.Save();
  EXPECT_NE(IniText().find("[Check]\r\nCheckFlag=1\r\n"), std::string::npos) << IniText();
  EXPECT_EQ(s.CheckFlag, 5);  // the record in memory keeps what was read
  EXPECT_EQ(Loaded().CheckFlag, 1);
}

TEST_F(SettingsFileTest, UnknownSectionsAndKeysSurviveASave) {
  const std::string kept =
      "[Other]\r\nColour=blue\r\n; note\r\n\r\n[Config]\r\nExtra=7\r\n Small = 0 \r\n";
  ASSERT_TRUE(WriteWholeFile(IniPath(), kept + "\r\n"));
  PanelSettings s = Loaded();
  EXPECT_EQ(s.Small, 0);
  s.Save();
  const std::string text = IniText();
  EXPECT_EQ(text.rfind(kept + "TopMost=1\r\n", 0), 0u) << text;  // every other byte kept
  EXPECT_NE(text.find("[Rect]\r\n"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, UnusableValuesAreGuardedOnLoad) {
  struct Case {
    const char* file;
    int iconSize, left, top, right, bottom;
  } cases[] = {
      {"[Config]\r\nIconSize=0\r\n", 24, 78, 143, 342, 343},
      {"[Config]\r\nIconSize=-40\r\n", 24, 78, 143, 342, 343},
      {"[Config]\r\nIconSize=500\r\n", 168, 78, 143, 342, 343},
      {"[Config]\r\nIconSize=100\r\n", 100, 78, 143, 342, 343},
      {"[Rect]\r\nLeft=400\r\nRight=100\r\nTop=0\r\nBottom=50\r\n", 32, 78, 143, 342, 343},
      {"[Rect]\r\nLeft=0\r\nRight=100\r\nTop=50\r\nBottom=50\r\n", 32, 78, 143, 342, 343},
      {"[Rect]\r\nLeft=-20000\r\nRight=20000\r\nTop=0\r\nBottom=50\r\n", 32, 78, 143, 342, 343},
      {"[Rect]\r\nLeft=-300\r\nRight=-100\r\nTop=-50\r\nBottom=50\r\n", 32, -300, -50, -100, 50},
  };
  for (const Case& c : cases) {
    ScopedTempDir caseDir;  // a fresh file name for each case
    ASSERT_TRUE(WriteWholeFile(caseDir.File("Nubotesa.ini"), c.file));
    const PanelSettings s = Loaded();
    EXPECT_EQ(s.IconSize, c.iconSize) << c.file;
    EXPECT_EQ(s.Left, c.left) << c.file;
    EXPECT_EQ(s.Top, c.top) << c.file;
    EXPECT_EQ(s.Right, c.right) << c.file;
    EXPECT_EQ(s.Bottom, c.bottom) << c.file;
  }
}

// The program's reader against the system's profile functions, every key of
// the settings read from each file as text and as a number.
TEST_F(SettingsFileTest, ReaderReadsAsTheProfileFunctions) {
  // The profile functions read the file in the system code page: the table
  // proves the reader where that is 932.
  if (GetACP() != 932) GTEST_SKIP() << "code page " << GetACP();
  const std::string cases[] = {
      "",
      "[config]\r\ntopmost=0\r\nSMALL=0\r\n",
      "  [Config]  \r\n  TopMost  =  -12  \r\n\tSmall\t=\t+7\t\r\n",
      "[Config]\nArea=12abc\nStartup=abc\nLine=\nBitmap= \v 5\nIconSize=- 3\n",
      "[Config]\r\nIconSize=4294967297\r\nTopMost=-4294967297\r\nSmall=2147483648\r\n",
      "[Config]\r\nArea=" + std::string(28, '0') + "12\r\nLine=" + std::string(27, '0') + "34\r\n",
      "[Config]\r\nTopMost=\"5\"\r\nSmall='6'\r\nArea=\"7\r\nLine=\"\"\r\nWallpaper='a b.bmp'\r\n",
      "[Config]\r\nTopMost\r\nSmall=3\r\nWallpaper\r\nLine=0x10\r\nArea=\x82\x4f\r\n",
      "[Config]\r\nTopMost=0b101\r\nSmall=0o17\r\nArea=-0x1F\r\nStartup=0X10\r\nLine=0x\r\n"
      "Bitmap=0xg\r\nIconSize= 0x7fffffff1\r\n",
      "[Config]\r\nSmall=1\r\nSmall=2\r\n[Config]\r\nSmall=3\r\nArea=5\r\n",
      "Small=4\r\n[Config\r\nSmall=5\r\n[ Config ]\r\nArea=0\r\n[Rect]x]\r\nTop=1\r\n",
      "[Config] ; note\r\n;Small=0\r\n\x1a\x01"
      "Area=\x01\x02 7\x1a\r\nLine=\x01\r\n",
      "[Config]\rTopMost=0\r\rSmall=0\n\n\nArea=0\r\n\r\n[Check]\r\nCheckFlag=1 ",
      "[\x83\x5d]\r\nTop=9\r\n[Rect]\r\nTop=\x81\x40\x81\x40"
      "5\x81\x40\r\nLeft=-300\r\n",
      "[Config]\r\nWallpaper=C:\\壁紙\\表ソ.bmp\x81\x40\r\n[Rect]\r\nBottom=\x82\x52\r\n",
      "[Config]\r\nWallpaper=" + std::string(300, 'w') + "\r\n",
  };
  for (const std::string& text : cases) {
    ScopedTempDir caseDir;  // a fresh file name for each case
    const std::string path = caseDir.File("Nubotesa.ini");
    ASSERT_TRUE(WriteWholeFile(path, text));
    for (const settings_rules::Key& k : settings_rules::kKeys) {
      char theirs[260], ours[260];
      GetPrivateProfileStringA(k.section, k.name, "sample.bmp", theirs, 260, path.c_str());
      ini::ReadString(text, k.section, k.name, "sample.bmp", ours, 260);
      const int number =
          static_cast<int>(GetPrivateProfileIntA(k.section, k.name, 77, path.c_str()));
      EXPECT_EQ(ours + (" " + std::to_string(ini::ReadInt(text, k.section, k.name, 77))),
                theirs + (" " + std::to_string(number)))
          << k.name << " in:\n"
          << text;
    }
  }
}

TEST_F(SettingsFileTest, OverlongCurrentDirectoryUsesDefaultsAndWritesNothing) {
  std::string path = dir.Path();
  while (path.size() < 250) {
    path += "\\" + std::string(std::min<std::size_t>(40, 250 - path.size()), 'd');
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
  }
  ASSERT_TRUE(SetCurrentDirectoryA(path.c_str()));
  PanelSettings s = Loaded();
  EXPECT_STREQ(s.SettingsPath, "");
  EXPECT_EQ(s.IconSize, 32);
  EXPECT_STREQ(s.Wallpaper, "sample.bmp");
  s.Save();
  char windowsDir[MAX_PATH];
  GetWindowsDirectoryA(windowsDir, MAX_PATH);
  EXPECT_FALSE(FileExists(std::string(windowsDir) + "\\Nubotesa.ini"));
  EXPECT_FALSE(FileExists(path + "\\Nubotesa.ini"));
  SetCurrentDirectoryA(dir.Path().c_str());
}

}  // namespace
