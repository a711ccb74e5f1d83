#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Changes keep every other byte; what they write reads back. (The reading
// itself is checked against the system's profile functions in
// settings_file_test.)
TEST(IniText, SetValueChangesOnlyTheValue) {
  const struct {
    const char *before, *section, *key, *value, *after;
  } cases[] = {
      {"", "Rect", "Top", "-5", "[Rect]\r\nTop=-5\r\n"},
      {"[rect]\n ; x\n TOP = \"1\" ;\n", "Rect", "Top", "22", "[rect]\n ; x\n TOP = 22\n"},
      {"[Rect]\nTop\n", "Rect", "Top", "3", "[Rect]\nTop=3\n"},
      {"[Rect]\r\nLeft=1\r\n\r\n[Config]\r\n", "Rect", "Top", "4",
       "[Rect]\r\nLeft=1\r\nTop=4\r\n\r\n[Config]\r\n"},
      {"[Rect]\r\nLeft=1", "Rect", "Top", "5", "[Rect]\r\nLeft=1\r\nTop=5\r\n"},
      {"[Other]", "Rect", "Top", "6", "[Other]\r\n[Rect]\r\nTop=6\r\n"},
      {"[\x83\x5d]\r\nTop=0\r\n[Rect]\r\n", "Rect", "Top", "7",
       "[\x83\x5d]\r\nTop=0\r\n[Rect]\r\nTop=7\r\n"},
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    ini::SetValue(&text, c.section, c.key, c.value);
    EXPECT_EQ(text, c.after) << c.before;
    EXPECT_EQ(ini::ReadInt(text, c.section, c.key, 99), std::stoi(c.value)) << c.before;
  }
}

}  // namespace
