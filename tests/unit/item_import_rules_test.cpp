#include <gtest/gtest.h>

#include <string>

#include "items/item_import_rules.h"
#include "platform/cp932.h"

namespace {

std::string Show(const ItemValues& v) {
  return "title=" + std::string(v.title) + " target=" + v.target + " workDir=" + v.workDir +
         " iconFile=" + v.iconFile + " index=" + std::to_string(v.iconIndex);
}

ItemValues Values(const char* title, const char* target, const char* workDir, const char* iconFile,
                  int index) {
  ItemValues v;
  ClearItemValues(&v);
  snprintf(v.title, sizeof v.title, "%s", title);
  snprintf(v.target, sizeof v.target, "%s", target);
  snprintf(v.workDir, sizeof v.workDir, "%s", workDir);
  snprintf(v.iconFile, sizeof v.iconFile, "%s", iconFile);
  v.iconIndex = static_cast<std::uint16_t>(index);
  return v;
}

// ソ, 表, 能 and 十 end in the byte 0x5C; it must never split a path.
TEST(ItemImportRules, DroppedFilesAndFolders) {
  const struct {
    const char* path;
    ItemValues expected;
  } cases[] = {
      {"C:\\Tools\\Editor.exe",
       Values("Editor.exe", "C:\\Tools\\Editor.exe", "C:\\Tools", "C:\\Tools\\Editor.exe", 0)},
      {"C:\\Tools", Values("Tools", "C:\\Tools", "C:", "C:\\Tools", 0)},
      {"C:\\", Values("", "C:\\", "C:", "C:\\", 0)},
      {"D:\\Links\\Mail.lNk",
       Values("Mail.lNk", "D:\\Links\\Mail.lNk", "D:\\Links", "D:\\Links\\Mail.lNk", 0)},
      {"C:\\ソフト", Values("ソフト", "C:\\ソフト", "C:", "C:\\ソフト", 0)},
      {"C:\\ソフト\\表計算.exe",
       Values("表計算.exe", "C:\\ソフト\\表計算.exe", "C:\\ソフト", "C:\\ソフト\\表計算.exe", 0)},
      {"D:\\能力\\十.txt", Values("十.txt", "D:\\能力\\十.txt", "D:\\能力", "D:\\能力\\十.txt", 0)},
      {"\\ソ", Values("", "\\ソ", "\\ソ", "\\ソ", 0)},  // a first-character backslash never counts
  };
  for (const auto& c : cases) {
    ItemValues got;
    PlainFileValues(c.path, &got);
    EXPECT_EQ(Show(got), Show(c.expected)) << c.path;
  }
}

TEST(ItemImportRules, ShortcutSpellingsAndSeparators) {
  const struct {
    const char* path;
    bool shortcut, endsWithSeparator;
  } cases[] = {
      {"D:\\Links\\Mail.lnk", true, false},
      {"D:\\Links\\Mail.Lnk", true, false},
      {"D:\\Links\\Mail.LNK", true, false},
      {"D:\\Links\\Mail.lNK", false, false},
      {"D:\\Links\\Mail.LnK", false, false},
      {"lnk", false, false},
      {".lnk", true, false},
      {"C:\\", false, true},
      {"C:", false, true},
      {"C:\\ソ", false, false},
      {"C:\\ソ\\", false, true},
      {"", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsShortcutPath(c.path), c.shortcut) << c.path;
    EXPECT_EQ(EndsWithSeparator(c.path), c.endsWithSeparator) << c.path;
  }
}

// A name from the shell is cut between characters: a surrogate pair is one,
// so is a lone surrogate, and a mark or a pair that does not fit is left out
// whole. The writer here knows ASCII and writes any pair as "@@".
TEST(ItemImportRules, NamesFromTheShellAreCutBetweenCharacters) {
  auto write = [](const wchar_t* units, std::size_t count, char* out) -> std::size_t {
    out[0] = out[1] = count == 2 ? '@' : static_cast<char>(units[0]);
    return count == 2 ? 2 : units[0] < 0x80 ? 1 : 0;
  };
  const struct {
    const wchar_t* text;
    std::size_t maxBytes;
    const char* out;
    bool exact;
  } cases[] = {
      {L"\xDC00\xDC00\xDC00", 5, "####", false},
      {L"a\xD83C\xDF89z", 9, "a@@z", true},
      {L"a\xDF89\xD83Cz", 9, "a####z", false},
      {L"a\xD83C\xDF89", 2, "a", false},
      {L"a\xD83C", 9, "a##", false},
  };
  for (const auto& c : cases) {
    char out[10];
    EXPECT_EQ(platform::WriteCp932(c.text, write, out, c.maxBytes, "##"), c.exact) << c.out;
    EXPECT_STREQ(out, c.out);
  }
}

}  // namespace
