#include "items/ptr_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int marker[4];

TEST(PtrArray, OneAtATimeAppendsGrowByTheStepRule) {
  const std::vector<int> expected = {1,  5,  9,  13, 17, 21, 25, 29, 33,
                                     37, 41, 46, 51, 57, 64, 72, 81};
  PtrArray a;
  std::vector<int> seen;
  for (int i = 0; i < 81; ++i) {
    ASSERT_EQ(a.Append(&marker[0]), 0);
    if (seen.empty() || seen.back() != a.Capacity()) seen.push_back(a.Capacity());
  }
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(a.Count(), 81);
}

TEST(PtrArray, StepStopsAt1024) {
  PtrArray a;
  ASSERT_EQ(a.Resize(9000, -1), 0);  // a first block is exactly the count
  EXPECT_EQ(a.Capacity(), 9000);
  ASSERT_EQ(a.Append(nullptr), 0);  // 9000 / 8 = 1125, cut to 1024
  EXPECT_EQ(a.Capacity(), 10024);
}

TEST(PtrArray, LargeJumpTakesExactlyTheNewCount) {
  PtrArray a;
  ASSERT_EQ(a.Append(&marker[0]), 0);
  ASSERT_EQ(a.Resize(100, -1), 0);
  EXPECT_EQ(a.Capacity(), 100);
  EXPECT_EQ(a.SlotAt(0), &marker[0]);
  for (int i = 1; i < 100; ++i) EXPECT_EQ(a.SlotAt(i), nullptr) << "slot " << i;
}

TEST(PtrArray, OutOfRangeAccessYieldsNull) {
  PtrArray a;
  EXPECT_EQ(a.SlotAt(0), nullptr);
  EXPECT_EQ(a.SlotAt(-1), nullptr);
  a.Append(&marker[1]);
  EXPECT_EQ(a.SlotAt(-1), nullptr);
  EXPECT_EQ(a.SlotAt(1), nullptr);
  EXPECT_EQ(a.SlotAt(0), &marker[1]);
  EXPECT_EQ(a.StoreAt(-1, &marker[2]), 1);
  EXPECT_EQ(a.Count(), 1);
}

TEST(PtrArray, StoreBeyondCountGrowsWithNullGap) {
  PtrArray a;
  ASSERT_EQ(a.StoreAt(3, &marker[3]), 0);
  EXPECT_EQ(a.Count(), 4);
  EXPECT_EQ(a.SlotAt(3), &marker[3]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a.SlotAt(i), nullptr) << "slot " << i;
}

TEST(PtrArray, ErasingTheOnlyElementReleasesTheBlock) {
  PtrArray a;
  for (int i = 0; i < 3; ++i) a.Append(&marker[0]);
  a.EraseAt(2);
  a.EraseAt(1);
  EXPECT_TRUE(a.HoldsBlock());
  a.EraseAt(0);
  EXPECT_FALSE(a.HoldsBlock());
  EXPECT_EQ(a.Capacity(), 0);
  EXPECT_EQ(a.Count(), 0);
  ASSERT_EQ(a.Append(&marker[1]), 0);
  EXPECT_EQ(a.Capacity(), 1);
}

TEST(PtrArray, EraseClosesTheGapAndKeepsTheCapacity) {
  PtrArray a;
  for (int i = 0; i < 4; ++i) a.Append(&marker[i]);
  const int capacity = a.Capacity();
  a.EraseAt(1);
  ASSERT_EQ(a.Count(), 3);
  EXPECT_EQ(a.SlotAt(0), &marker[0]);
  EXPECT_EQ(a.SlotAt(1), &marker[2]);
  EXPECT_EQ(a.SlotAt(2), &marker[3]);
  a.EraseAt(2);  // the last one only lowers the count
  EXPECT_EQ(a.Count(), 2);
  EXPECT_EQ(a.Capacity(), capacity);
  a.EraseAt(-1);
  a.EraseAt(2);
  EXPECT_EQ(a.Count(), 2);
}

TEST(PtrArray, ShrinkKeepsCapacityAndRegrowShowsNulls) {
  PtrArray a;
  for (int i = 0; i < 4; ++i) a.Append(&marker[i]);
  const int capacity = a.Capacity();
  ASSERT_EQ(a.Resize(1, -1), 0);
  EXPECT_EQ(a.Capacity(), capacity);
  ASSERT_EQ(a.Resize(4, -1), 0);
  EXPECT_EQ(a.SlotAt(0), &marker[0]);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(a.SlotAt(i), nullptr) << "slot " << i;
  a.Clear();
  EXPECT_FALSE(a.HoldsBlock());
  EXPECT_EQ(a.Count(), 0);
}

}  // namespace
