#include "settings/settings_dialog_rules.h"

#include <gtest/gtest.h>

namespace rules = settings_dialog_rules;

namespace {

TEST(SettingsDialogRules, IconSizeTextToCellSize) {
  struct Case {
    const char* text;
    bool accepted;
    std::int32_t cell;
  } cases[] = {
      {"16", true, 24},
      {"160", true, 168},
      {"24", true, 32},
      {" 40 ", true, 48},
      {"0016", true, 24},
      {"15", false, 0},
      {"161", false, 0},
      {"", false, 0},
      {"  ", false, 0},
      {"-16", false, 0},
      {"1 6", false, 0},
      {"16x", false, 0},
      {"4294967295", false, 0},
      {"4294967304", false, 0},  // 2^32 + 8 would wrap to 16
      {"99999999999999999999", false, 0},
  };
  for (const Case& c : cases) {
    std::int32_t cell = 0;
    const bool accepted = rules::CellSizeFor(rules::ReadIconSize(c.text), &cell);
    EXPECT_EQ(accepted, c.accepted)
        << "\"" << c.text << "\" read as " << rules::ReadIconSize(c.text);
    if (c.accepted) {
      EXPECT_EQ(cell, c.cell) << "\"" << c.text << "\"";
    }
  }
  EXPECT_EQ(rules::IconSizeForCell(32), 24u);
  EXPECT_EQ(rules::IconSizeForCell(168), 160u);
}

TEST(SettingsDialogRules, BitmapMarkIsTheFirstTwoBytes) {
  const unsigned char bm[] = {'B', 'M'}, mb[] = {'M', 'B', 0};
  EXPECT_TRUE(rules::HasBitmapMark(bm, 2));
  EXPECT_FALSE(rules::HasBitmapMark(bm, 1));
  EXPECT_FALSE(rules::HasBitmapMark(mb, 3));
  EXPECT_FALSE(rules::HasBitmapMark(bm, 0));
}

}  // namespace
