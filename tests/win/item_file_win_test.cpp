// The item file seen through the real Win32 file API.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "items/item_store.h"
#include "tests/support/scoped_temp_dir.h"

namespace {

HANDLE HoldWithoutSharing(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(ItemFileWin, StoreOpensTheFileWithoutSharing) {
  ScopedTempDir dir;
  ItemStore store;
  store.Put(1, 0, "one", "C:\\one.exe", "C:\\", "C:\\one.exe");
  // While the store has no handle open, a plain exclusive open succeeds.
  HANDLE h = HoldWithoutSharing(dir.File("NuboInfo.Dat"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  // And a second one is refused, as the store's own opens are.
  HANDLE second = CreateFileA(dir.File("NuboInfo.Dat").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  EXPECT_EQ(second, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(store.RecordCount(), 0);
  EXPECT_EQ(store.MoveKey(1, 2), 0);  // refused, and memory stays as the file has it
  EXPECT_TRUE(store.HasKey(1));
  CloseHandle(h);
  ItemStore reloaded;
  reloaded.Load();
  EXPECT_TRUE(reloaded.HasKey(1));
}

TEST(ItemFileWin, FailedReplacementDuringRemoveLeavesTheOldFileWhole) {
  ScopedTempDir dir;
  ItemStore store;
  for (int k = 1; k <= 3; ++k) store.Put(k, 0, "t", "C:\\t.exe", "", "");
  const std::string before = ReadWholeFile(dir.File("NuboInfo.Dat"));
  HANDLE h = HoldWithoutSharing(dir.File("NuboInfo.Dat"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(store.Remove(2), 0);
  CloseHandle(h);
  EXPECT_EQ(ReadWholeFile(dir.File("NuboInfo.Dat")), before);
  EXPECT_EQ(store.ItemCount(), 3);
  EXPECT_EQ(GetFileAttributesA(dir.File("NuboInfo.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ItemFileWin, DriveRootPathWithDoubleBackslashIsAccepted) {
  // GetCurrentDirectoryA reports a root with its backslash; the file name is
  // joined to it without adding another, and either form opens the same file.
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
  ItemStore store;
  SetCurrentDirectoryA(saved);
  EXPECT_STREQ(store.ItemFilePath(), "C:\\NuboInfo.Dat");
  HANDLE h = CreateFileA("C:\\\\nubo-root-probe.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(DeleteFileA("C:\\nubo-root-probe.tmp"));
}

TEST(ItemFileWin, OverlongCurrentDirectoryReadsEmptyAndWritesNothing) {
  ScopedTempDir dir;
  // Build a directory whose path leaves no room for the item file name.
  std::string path = dir.Path();
  while (path.size() < 250) {
    path += "\\" + std::string(std::min<std::size_t>(40, 250 - path.size()), 'd');
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
  }
  ASSERT_TRUE(SetCurrentDirectoryA(path.c_str()));
  ItemStore store;
  SetCurrentDirectoryA(dir.Path().c_str());
  EXPECT_STREQ(store.ItemFilePath(), "");
  store.Load();
  EXPECT_EQ(store.ItemCount(), 0);
  EXPECT_EQ(store.Put(1, 0, "t", "x", "", ""), 0);
  // Nothing was written anywhere along the way, not even a truncated name.
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
  int entries = 0;
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (std::string(data.cFileName) != "." && std::string(data.cFileName) != "..") ++entries;
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  EXPECT_EQ(entries, 0);
}

}  // namespace
