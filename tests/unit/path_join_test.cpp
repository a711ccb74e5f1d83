#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"

namespace {

TEST(JoinPath, OneSeparatorBetweenFolderAndName) {
  const std::string sep(1, platform::kPathSeparator);
  struct Case {
    const char* what;
    std::string dir, expected;
  } cases[] = {
      {"plain folder", "C:" + sep + "apps", "C:" + sep + "apps" + sep + "NuboInfo.Dat"},
      {"root with its separator", "C:" + sep, "C:" + sep + "NuboInfo.Dat"},
      // 表 is 0x95 0x5C: its trail byte is not a separator.
      {"folder ending in a 0x5C trail byte", "C:" + sep + "\x95\x5C",
       "C:" + sep + "\x95\x5C" + sep + "NuboInfo.Dat"},
      {"folder ending in a real separator after a double-byte character",
       "C:" + sep + "\x95\x5C" + sep, "C:" + sep + "\x95\x5C" + sep + "NuboInfo.Dat"},
  };
  for (const Case& c : cases) {
    char out[260];
    ASSERT_TRUE(platform::JoinPath(c.dir.c_str(), "NuboInfo.Dat", out, sizeof out)) << c.what;
    EXPECT_EQ(std::string(out), c.expected) << c.what;
  }
}

TEST(JoinPath, RefusesWhatDoesNotFit) {
  const std::string dir(246, 'd');  // 246 + 1 + 12 = 259 bytes: fits exactly
  char out[260];
  EXPECT_TRUE(platform::JoinPath(dir.c_str(), "NuboInfo.Dat", out, sizeof out));
  const std::string longer(247, 'd');
  EXPECT_FALSE(platform::JoinPath(longer.c_str(), "NuboInfo.Dat", out, sizeof out));
  EXPECT_STREQ(out, "");
}

}  // namespace
