// The full-disk play of the file layer: only growth counts against the limit.
#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "tests/support/scoped_temp_dir.h"

namespace {

struct Lift {
  ~Lift() { platform::LimitFileGrowthForTesting(-1); }
};

TEST(FileGrowthLimit, OnlyBytesThatExtendAFileCount) {
  struct Case {
    const char* what;
    std::int64_t limit;
    std::uint64_t end, offset;
    std::size_t size, allowed, secondAllowed;  // then the same write again
  } cases[] = {
      {"no limit", -1, 0, 0, 920, 920, 920},
      {"append that fits exactly", 920, 1840, 1840, 920, 920, 0},
      {"append cut after 500 bytes", 500, 1840, 1840, 920, 500, 0},
      {"overwrite inside a full disk", 0, 2760, 920, 920, 920, 920},
      {"overwrite that runs 20 bytes past the end", 10, 1000, 100, 920, 910, 900},
      {"write past the end: the gap counts too", 100, 0, 920, 920, 0, 0},
      {"gap and part of the write fit", 1000, 0, 920, 920, 80, 0},
  };
  Lift lift;
  for (const Case& c : cases) {
    platform::LimitFileGrowthForTesting(c.limit);
    const std::size_t first = platform::GrowthAllowed(c.end, c.offset, c.size);
    const std::size_t second = platform::GrowthAllowed(c.end, c.offset, c.size);
    EXPECT_TRUE(first == c.allowed && second == c.secondAllowed)
        << c.what << ": " << first << ", then " << second;
  }
}

TEST(FileGrowthLimit, ARealFileKeepsWhatFitAndItsOldBytes) {
  ScopedTempDir dir;
  Lift lift;
  const std::string path = dir.File("grow.bin");
  platform::File file;
  ASSERT_TRUE(file.Open(path.c_str(), platform::OpenMode::CreateEmpty));
  const std::string a(100, 'a'), b(100, 'b');
  ASSERT_EQ(file.WriteAt(0, a.data(), a.size()), 100u);
  platform::LimitFileGrowthForTesting(30);
  EXPECT_EQ(file.WriteAt(50, b.data(), b.size()), 80u);  // 50 inside, 30 more
  EXPECT_EQ(file.WriteAt(130, b.data(), b.size()), 0u);
  EXPECT_EQ(file.WriteAt(0, b.data(), 10), 10u);
  file.Close();
  EXPECT_EQ(ReadWholeFile(path),
            std::string(10, 'b') + std::string(40, 'a') + std::string(80, 'b'));
}

}  // namespace
