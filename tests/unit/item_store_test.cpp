#include "items/item_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/file.h"
#include "tests/support/scoped_temp_dir.h"

namespace {

class ItemStoreTest : public ::testing::Test {
 protected:
  std::string DataPath() const { return dir.File("NuboInfo.Dat"); }
  long long DataSize() const { return FileSize(DataPath()); }

  void PutItem(ItemStore& store, int key, const char* title) {
    std::string target = std::string("C:\\Apps\\") + title + ".exe";
    store.Put(key, key % 7, title, target.c_str(), "C:\\Apps", target.c_str());
  }

  // The title stored in record `index` of the item file.
  std::string TitleInFile(int index) const {
    const std::string bytes = ReadWholeFile(DataPath());
    return std::string(bytes.c_str() + index * 920 + 10);
  }

  int KeyInFile(int index) const {
    const std::string bytes = ReadWholeFile(DataPath());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + index * 920 + 4);
    return static_cast<int>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<unsigned>(p[3]) << 24);
  }

  ScopedTempDir dir;
};

TEST_F(ItemStoreTest, PathIsCurrentDirectoryPlusFileName) {
  ItemStore store;
  EXPECT_EQ(std::string(store.ItemFilePath()), DataPath());
}

TEST_F(ItemStoreTest, FirstPutWritesOneRecordWithTheKeyAtOffset4) {
  ItemStore store;
  store.Load();
  EXPECT_EQ(store.ItemCount(), 0);
  EXPECT_EQ(store.RecordCount(), 0);
  ASSERT_EQ(store.Put(0x01020304, 3, "Editor", "C:\\e.exe", "C:\\", "C:\\e.exe"), 1);
  const std::string bytes = ReadWholeFile(DataPath());
  ASSERT_EQ(bytes.size(), 920u);
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(bytes.substr(8, 2), std::string("\x03\x00", 2));
  EXPECT_STREQ(bytes.c_str() + 10, "Editor");
  EXPECT_STREQ(bytes.c_str() + 138, "C:\\e.exe");
  EXPECT_STREQ(bytes.c_str() + 398, "C:\\");
  EXPECT_STREQ(bytes.c_str() + 658, "C:\\e.exe");
}

TEST_F(ItemStoreTest, PartialTrailingRecordIsIgnored) {
  {
    ItemStore store;
    PutItem(store, 1, "one");
    PutItem(store, 2, "two");
  }
  std::string bytes = ReadWholeFile(DataPath());
  bytes.append(60, 'x');
  ASSERT_TRUE(WriteWholeFile(DataPath(), bytes));
  ASSERT_EQ(DataSize(), 1900);
  ItemStore store;
  EXPECT_EQ(store.RecordCount(), 2);
  store.Load();
  ASSERT_EQ(store.ItemCount(), 2);
  char title[260];
  ASSERT_EQ(store.GetTitle(2, title), 1);
  EXPECT_STREQ(title, "two");
}

TEST_F(ItemStoreTest, PutOnAnExistingKeyRewritesInPlace) {
  ItemStore store;
  PutItem(store, 10, "a");
  PutItem(store, 11, "b");
  PutItem(store, 12, "c");
  ASSERT_EQ(store.Put(11, 5, "B2", "C:\\b2.exe", "C:\\w", "C:\\i.ico"), 1);
  EXPECT_EQ(store.ItemCount(), 3);
  EXPECT_EQ(DataSize(), 3 * 920);
  EXPECT_EQ(TitleInFile(0), "a");
  EXPECT_EQ(TitleInFile(1), "B2");
  EXPECT_EQ(TitleInFile(2), "c");
  int iconIndex = 0;
  char title[260], target[260], work[260], icon[260];
  ASSERT_EQ(store.GetFields(11, &iconIndex, title, target, work, icon), 1);
  EXPECT_EQ(iconIndex, 5);
  EXPECT_STREQ(title, "B2");
  EXPECT_STREQ(target, "C:\\b2.exe");
  EXPECT_STREQ(work, "C:\\w");
  EXPECT_STREQ(icon, "C:\\i.ico");
}

TEST_F(ItemStoreTest, ReloadGivesBackWhatWasPut) {
  {
    ItemStore store;
    for (int k = 0; k < 20; ++k) PutItem(store, k * 3, ("item" + std::to_string(k)).c_str());
  }
  ItemStore store;
  store.Load();
  ASSERT_EQ(store.ItemCount(), 20);
  for (int i = 0; i < 20; ++i) {
    std::int32_t key = -1;
    ASSERT_EQ(store.KeyAt(i, &key), 1);
    EXPECT_EQ(key, i * 3) << "record " << i;
    char icon[260];
    int iconIndex = -1;
    ASSERT_EQ(store.GetIconAt(i, icon, &iconIndex), 1);
    EXPECT_EQ(iconIndex, (i * 3) % 7) << "record " << i;
  }
  std::int32_t key = 77;
  EXPECT_EQ(store.KeyAt(20, &key), 0);
  EXPECT_EQ(key, 77);
}

TEST_F(ItemStoreTest, LoadKeepsFileOrderForManyRecords) {
  {
    ItemStore store;
    for (int k = 0; k < 150; ++k) store.Put(1000 - k, 0, "t", "x", "", "");
  }
  ItemStore store;
  store.Load();
  ASSERT_EQ(store.ItemCount(), 150);
  for (int i = 0; i < 150; ++i) {
    std::int32_t key = 0;
    store.KeyAt(i, &key);
    ASSERT_EQ(key, 1000 - i) << "record " << i;
  }
}

// A store that already holds records reloads into them: the result is the
// file, whether it now holds more records, fewer, or none.
TEST_F(ItemStoreTest, ReloadOverHeldRecordsGivesTheFile) {
  const struct { int before, after; } cases[] = {{3, 130}, {130, 2}, {70, 70}, {5, 0}};
  for (const auto& c : cases) {
    platform::RemoveFile(DataPath().c_str());
    ItemStore store;
    for (int k = 0; k < c.before; ++k) store.Put(k, 0, "old", "old", "", "");
    store.Load();
    platform::RemoveFile(DataPath().c_str());
    {
      ItemStore writer;
      for (int k = 0; k < c.after; ++k)
        PutItem(writer, 500 + k, ("new" + std::to_string(k)).c_str());
    }
    store.Load();
    ASSERT_EQ(store.ItemCount(), c.after) << c.before << " -> " << c.after;
    for (int i = 0; i < c.after; ++i) {
      std::int32_t key = 0;
      char title[260];
      store.KeyAt(i, &key);
      store.GetTitle(key, title);
      ASSERT_EQ(key, 500 + i) << c.before << " -> " << c.after << ", record " << i;
      ASSERT_EQ(std::string(title), "new" + std::to_string(i)) << c.before << " -> " << c.after;
    }
  }
}

TEST_F(ItemStoreTest, SwapKeys) {
  ItemStore store;
  PutItem(store, 1, "one");
  PutItem(store, 2, "two");
  const std::string before = ReadWholeFile(DataPath());
  EXPECT_EQ(store.SwapKeys(1, 99), 0);
  EXPECT_EQ(store.SwapKeys(99, 2), 0);
  EXPECT_EQ(ReadWholeFile(DataPath()), before);
  std::int32_t key;
  store.KeyAt(0, &key);
  EXPECT_EQ(key, 1);

  ASSERT_EQ(store.SwapKeys(1, 2), 1);
  EXPECT_EQ(KeyInFile(0), 2);
  EXPECT_EQ(KeyInFile(1), 1);
  EXPECT_EQ(TitleInFile(0), "one");  // order of records stays
  char title[260];
  store.GetTitle(1, title);
  EXPECT_STREQ(title, "two");
}

TEST_F(ItemStoreTest, MoveKeyRewritesOneRecord) {
  ItemStore store;
  PutItem(store, 1, "one");
  PutItem(store, 2, "two");
  EXPECT_EQ(store.MoveKey(5, 6), 0);
  ASSERT_EQ(store.MoveKey(2, 130), 1);
  EXPECT_EQ(KeyInFile(1), 130);
  EXPECT_FALSE(store.HasKey(2));
  EXPECT_TRUE(store.HasKey(130));
}

TEST_F(ItemStoreTest, ChangesThatCannotBeStoredChangeNothing) {
  ItemStore store;
  PutItem(store, 1, "one");
  PutItem(store, 2, "two");
  const std::string before = ReadWholeFile(DataPath());
  platform::LimitFileGrowthForTesting(100);  // a disk with no room for the new file
  const int swapped = store.SwapKeys(1, 2);
  platform::LimitFileGrowthForTesting(-1);
  EXPECT_EQ(swapped, 0);
  EXPECT_EQ(ReadWholeFile(DataPath()), before);
  std::int32_t key = 0;
  store.KeyAt(0, &key);
  EXPECT_EQ(key, 1);
  EXPECT_FALSE(FileExists(dir.File("NuboInfo.tmp")));
  platform::FailClosesForTesting(true);  // a network drive tells a full disk at the close
  const int stored = store.MoveKey(1, 9) + store.SwapKeys(1, 2) + store.Remove(2) +
                     store.Put(3, 0, "t", "x", "", "");
  platform::FailClosesForTesting(false);
  EXPECT_TRUE(stored == 0 && store.HasKey(1) && store.ItemCount() == 2) << stored;
}

TEST_F(ItemStoreTest, RemovingTheFirstOfThreeKeepsTheOthersInOrder) {
  ItemStore store;
  PutItem(store, 1, "one");
  PutItem(store, 2, "two");
  PutItem(store, 3, "three");
  ASSERT_EQ(store.Remove(1), 1);
  EXPECT_EQ(DataSize(), 1840);
  EXPECT_EQ(TitleInFile(0), "two");
  EXPECT_EQ(TitleInFile(1), "three");
  EXPECT_EQ(store.ItemCount(), 2);
  EXPECT_FALSE(FileExists(dir.File("NuboInfo.tmp")));
  ItemStore reloaded;
  reloaded.Load();
  std::int32_t key;
  reloaded.KeyAt(0, &key);
  EXPECT_EQ(key, 2);
}

TEST_F(ItemStoreTest, RemovingTheOnlyItemDeletesTheFile) {
  ItemStore store;
  PutItem(store, 4, "only");
  EXPECT_EQ(store.Remove(7), 0);  // unknown keys leave the file alone
  EXPECT_EQ(DataSize(), 920);
  ASSERT_EQ(store.Remove(4), 1);
  EXPECT_FALSE(FileExists(DataPath()));
  EXPECT_EQ(store.RecordCount(), 0);
  EXPECT_EQ(store.ItemCount(), 0);
}

TEST_F(ItemStoreTest, DuplicateKeysResolveToTheEarlierRecord) {
  {
    ItemStore store;
    PutItem(store, 1, "first");
    PutItem(store, 2, "second");
  }
  // Make the second record carry key 1 as well.
  std::string bytes = ReadWholeFile(DataPath());
  bytes[920 + 4] = 1;
  ASSERT_TRUE(WriteWholeFile(DataPath(), bytes));
  ItemStore store;
  store.Load();
  ASSERT_EQ(store.ItemCount(), 2);
  int index = -1;
  ASSERT_EQ(store.FindKey(1, &index), 1);
  EXPECT_EQ(index, 0);
  char title[260];
  store.GetTitle(1, title);
  EXPECT_STREQ(title, "first");
}

TEST_F(ItemStoreTest, LookupsOfMissingKeysLeaveBuffersAlone) {
  ItemStore store;
  PutItem(store, 1, "one");
  char title[260] = "untouched";
  int iconIndex = 42;
  char icon[260] = "untouched";
  EXPECT_EQ(store.GetTitle(9, title), 0);
  EXPECT_EQ(store.GetIconByKey(9, icon, &iconIndex), 0);
  EXPECT_STREQ(title, "untouched");
  EXPECT_STREQ(icon, "untouched");
  EXPECT_EQ(iconIndex, 42);
  int index = 42;
  EXPECT_EQ(store.IndexOfKey(9, &index), 0);
  EXPECT_EQ(index, 42);
}

TEST_F(ItemStoreTest, HasTargetComparesWholeStringsCaseSensitively) {
  ItemStore store;
  store.Put(1, 0, "t", "C:\\Tools\\a.exe", "", "");
  EXPECT_TRUE(store.HasTarget("C:\\Tools\\a.exe"));
  EXPECT_FALSE(store.HasTarget("C:\\tools\\a.exe"));
  EXPECT_FALSE(store.HasTarget("C:\\Tools\\a.ex"));
  EXPECT_FALSE(store.HasTarget(""));
}

TEST_F(ItemStoreTest, LongTitlesAreCutWithoutSplittingACharacter) {
  struct Case {
    const char* what;
    std::string title;
    std::size_t expectedLength;
  } cases[] = {
      {"200 single bytes", std::string(200, 'a'), 127},
      {"127 bytes fit", std::string(127, 'b'), 127},
      // 126 single bytes then a double-byte character: it would end at byte 128.
      {"pair across the cut", std::string(126, 'c') + "\x82\xa0" + "d", 126},
      // 63 double-byte characters (126 bytes) and a 64th: 126 bytes stay.
      {"all double-byte",
       [] {
         std::string s;
         for (int i = 0; i < 64; ++i) s += "\x88\x9f";
         return s;
       }(),
       126},
  };
  ItemStore store;
  int key = 0;
  for (const Case& c : cases) {
    store.Put(key, 0, c.title.c_str(), "x", "", "");
    char title[260];
    ASSERT_EQ(store.GetTitle(key, title), 1) << c.what;
    EXPECT_EQ(std::strlen(title), c.expectedLength) << c.what;
    EXPECT_EQ(std::string(title), c.title.substr(0, c.expectedLength)) << c.what;
    EXPECT_EQ(TitleInFile(key), c.title.substr(0, c.expectedLength)) << c.what;
    ++key;
  }
}

TEST_F(ItemStoreTest, HeldFileReadsEmptyAndRefusesWrites) {
  ItemStore loaded;
  PutItem(loaded, 1, "one");
  PutItem(loaded, 2, "two");
  loaded.Load();
  const std::string before = ReadWholeFile(DataPath());
  platform::File holder;
  ASSERT_TRUE(holder.Open(DataPath().c_str(), platform::OpenMode::ReadExisting));
  loaded.Load();  // a store that read the file keeps its records
  EXPECT_TRUE(loaded.ItemCount() == 2 && loaded.HoldsWholeFile()) << loaded.ItemCount();
  ItemStore store;
  store.Load();
  EXPECT_EQ(store.ItemCount(), 0);
  EXPECT_EQ(store.RecordCount(), 0);
  ItemRecord record;
  EXPECT_EQ(store.ReadRecord(0, &record), 0);
  EXPECT_EQ(store.Put(5, 0, "five", "x", "", ""), 0);
  EXPECT_EQ(store.ItemCount(), 0);  // memory holds what the file holds
  holder.Close();
  EXPECT_EQ(ReadWholeFile(DataPath()), before);
  EXPECT_EQ(store.Put(5, 0, "five", "x", "", ""), 0);  // it would overwrite a record not read
  store.Load();
  EXPECT_EQ(store.Put(5, 0, "five", "x", "", ""), 1);
  EXPECT_EQ(DataSize(), 3 * 920);
}

TEST_F(ItemStoreTest, RemoveWhileTheFileIsHeldKeepsFileAndMemory) {
  ItemStore store;
  PutItem(store, 1, "one");
  PutItem(store, 2, "two");
  PutItem(store, 3, "three");
  const std::string before = ReadWholeFile(DataPath());
  {
    platform::File holder;
    ASSERT_TRUE(holder.Open(DataPath().c_str(), platform::OpenMode::ReadExisting));
    EXPECT_EQ(store.Remove(2), 0);
  }
  EXPECT_EQ(ReadWholeFile(DataPath()), before);
  EXPECT_EQ(store.ItemCount(), 3);
  EXPECT_TRUE(store.HasKey(2));
  EXPECT_FALSE(FileExists(dir.File("NuboInfo.tmp")));
  ASSERT_EQ(store.Remove(2), 1);  // once released it goes through
  EXPECT_EQ(DataSize(), 1840);
}

TEST_F(ItemStoreTest, RemoveOfTheLastItemWhileHeldKeepsIt) {
  ItemStore store;
  PutItem(store, 1, "one");
  {
    platform::File holder;
    ASSERT_TRUE(holder.Open(DataPath().c_str(), platform::OpenMode::ReadExisting));
    EXPECT_EQ(store.Remove(1), 0);
  }
  EXPECT_EQ(DataSize(), 920);
  EXPECT_TRUE(store.HasKey(1));
}

TEST_F(ItemStoreTest, ReadRecordCreatesAMissingFileAndFailsShortReads) {
  ItemStore store;
  ItemRecord record;
  EXPECT_EQ(store.ReadRecord(0, &record), 0);
  EXPECT_EQ(DataSize(), 0);
  PutItem(store, 1, "one");
  EXPECT_EQ(store.ReadRecord(0, &record), 1);
  EXPECT_EQ(record.key, 1);
  EXPECT_EQ(store.ReadRecord(1, &record), 0);
  EXPECT_EQ(store.ReadRecord(-1, &record), 0);
}

}  // namespace
