// The Startup shortcut against Wine's registry and shell-link object.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win_handles.h"
#include "settings/panel_settings.h"
#include "settings/startup_shortcut.h"
#include "platform/wide_names.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/test_util.h"

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Keeps the registry's Startup value as the test found it, byte for byte, and
// puts it back (or removes it again) at the end.
class SavedStartupValue {
 public:
  SavedStartupValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExW(key, L"Startup", nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
      data_.resize(size);
      present_ =
          RegQueryValueExW(key, L"Startup", nullptr, &type_, data_.data(), &size) == ERROR_SUCCESS;
      data_.resize(size);
    }
    RegCloseKey(key);
  }
  ~SavedStartupValue() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    if (present_) {
      RegSetValueExW(key, L"Startup", 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else {
      RegDeleteValueW(key, L"Startup");
    }
    RegCloseKey(key);
  }
  SavedStartupValue(const SavedStartupValue&) = delete;
  SavedStartupValue& operator=(const SavedStartupValue&) = delete;

 private:
  bool present_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> data_;
};

// The value as the registry takes it from ANSI data, or as given when `wide`.
bool SetStartupValue(DWORD type, const void* data, DWORD size, bool wide = false) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const auto* bytes = static_cast<const BYTE*>(data);
  const LONG status = wide ? RegSetValueExW(key, L"Startup", 0, type, bytes, size)
                           : RegSetValueExA(key, "Startup", 0, type, bytes, size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool SetStartupFolder(const std::wstring& folder) {
  return SetStartupValue(REG_SZ, folder.c_str(),
                         static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)), true);
}

bool DeleteStartupValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  const LONG status = RegDeleteValueA(key, "Startup");
  RegCloseKey(key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::string StartupFolderInRegistry() {
  char folder[MAX_PATH] = "";
  DWORD size = sizeof folder;
  RegGetValueA(HKEY_CURRENT_USER, kShellFolders, "Startup", RRF_RT_REG_SZ, nullptr, folder, &size);
  return folder;
}

struct LinkFields {
  bool loaded = false;
  std::string description, target, workDir;
};

// Reads a shortcut back. Wine's IPersistFile::Load refuses STGM_TRANSACTED,
// so the file is opened with STGM_READ.
LinkFields ReadLink(const std::string& path) {
  LinkFields fields;
  platform::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put()))) {
    return fields;
  }
  platform::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return fields;
  if (FAILED(file->Load(testutil::Wide(path).c_str(), STGM_READ))) return fields;
  char text[MAX_PATH];
  fields.loaded = true;
  if (SUCCEEDED(link->GetDescription(text, MAX_PATH))) fields.description = text;
  if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) fields.target = text;
  if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) fields.workDir = text;
  return fields;
}

// The names in a folder in code page 932, "." and ".." left out.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(testutil::Wide(folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    char name[MAX_PATH];
    platform::ShownCp932Name(data.cFileName, name);
    if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

class StartupShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    std::memset(&settings, 0, sizeof settings);
    std::memset(&paths, 0x55, sizeof paths);
  }
  void TearDown() override { CoUninitialize(); }

  int Update(int startup) {
    settings.Startup = startup;
    return UpdateStartupShortcut(paths, settings);
  }

  SavedStartupValue savedValue;
  ScopedTempDir dir;  // the current directory: WorkDir
  PanelSettings settings;
  StartupPaths paths;
};

TEST_F(StartupShortcutTest, WrittenInTheStartupFolderWhenOnAndDeletedWhenOff) {
  const std::string folder = StartupFolderInRegistry();
  ASSERT_FALSE(folder.empty());
  CreateDirectoryA(folder.c_str(), nullptr);  // a fresh prefix may not have it yet
  ComposeStartupPaths(&paths);
  const std::string shortcut = folder + "\\NuboTesa.lnk";
  EXPECT_EQ(std::string(paths.WorkDir), dir.Path());
  EXPECT_EQ(std::string(paths.ProgramPath), dir.Path() + "\\NuboTesa.Exe");
  EXPECT_EQ(std::string(paths.ShortcutPath), shortcut);

  ASSERT_EQ(Update(1), 1);
  LinkFields link = ReadLink(shortcut);
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.description, "NuboTesa");
  EXPECT_EQ(link.target, dir.Path() + "\\NuboTesa.Exe");
  EXPECT_EQ(link.workDir, dir.Path());

  // A second write replaces the shortcut; any non-zero value counts as on.
  EXPECT_EQ(Update(2), 1);
  EXPECT_TRUE(ReadLink(shortcut).loaded);

  EXPECT_EQ(Update(0), 0);
  EXPECT_FALSE(FileExists(shortcut));
  EXPECT_EQ(Update(0), 0);  // nothing left to delete
}

TEST_F(StartupShortcutTest, StartupFolderWithJapaneseName) {
  // 表 ends in the byte 0x5C, the same as a backslash.
  const std::string folder = dir.File("スタートアップ表");
  ASSERT_TRUE(CreateDirectoryW(testutil::Wide(folder).c_str(), nullptr));
  ASSERT_TRUE(SetStartupFolder(testutil::Wide(folder)));
  ComposeStartupPaths(&paths);
  EXPECT_EQ(std::string(paths.ShortcutPath), folder + "\\NuboTesa.lnk");

  ASSERT_EQ(Update(1), 1);
  EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"NuboTesa.lnk"});
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"スタートアップ表"});
  EXPECT_EQ(ReadLink(folder + "\\NuboTesa.lnk").description, "NuboTesa");

  EXPECT_EQ(Update(0), 0);
  EXPECT_TRUE(FolderNames(folder).empty());
}

// Named outside the code page: the shortcut goes there by the short name;
// without one the folder is marked (the panel says so) and nothing written.
TEST_F(StartupShortcutTest, StartupFolderOutsideTheCodePage) {
  const std::wstring folder = testutil::Wide(dir.Path()) + L"\\시작 é";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) && SetStartupFolder(folder));
  ComposeStartupPaths(&paths);
  EXPECT_FALSE(paths.FolderUnwritable);
  ASSERT_EQ(Update(1), 1) << paths.ShortcutPath;
  EXPECT_NE(GetFileAttributesW((folder + L"\\NuboTesa.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  platform::SetShortNameLookup(testutil::NoShortName);
  ComposeStartupPaths(&paths);
  platform::SetShortNameLookup(nullptr);
  EXPECT_TRUE(paths.FolderUnwritable);
  EXPECT_STREQ(paths.ShortcutPath, "");
}

TEST_F(StartupShortcutTest, MissingStartupValueWritesAndDeletesNothing) {
  ASSERT_TRUE(DeleteStartupValue());
  ComposeStartupPaths(&paths);
  EXPECT_STREQ(paths.ShortcutPath, "");
  EXPECT_EQ(std::string(paths.WorkDir), dir.Path());

  // Shortcuts where a path built from nothing would land: the drive root and
  // the current directory. Neither may be touched.
  const std::string rootLink = "\\NuboTesa.lnk";
  ASSERT_TRUE(WriteWholeFile(rootLink, "root"));
  ASSERT_TRUE(WriteWholeFile(dir.File("NuboTesa.lnk"), "here"));
  EXPECT_EQ(Update(0), 0);
  EXPECT_EQ(Update(1), 0);
  EXPECT_EQ(ReadWholeFile(rootLink), "root");
  EXPECT_EQ(ReadWholeFile(dir.File("NuboTesa.lnk")), "here");
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"NuboTesa.lnk"});
  DeleteFileA(rootLink.c_str());
}

TEST_F(StartupShortcutTest, UnusableStartupValuesLeaveThePathEmpty) {
  const std::string base = dir.Path() + "\\";
  // "\NuboTesa.lnk" is 13 bytes: a folder of 246 bytes fills the path exactly.
  const std::string fits = base + std::string(246 - base.size(), 'f');
  const std::string tooLong = base + std::string(247 - base.size(), 'f');
  const DWORD number = 5;
  struct Case {
    const char* what;
    DWORD type;
    const void* data;
    DWORD size;
    std::string expected;
  } cases[] = {
      {"fits exactly", REG_SZ, fits.c_str(), static_cast<DWORD>(fits.size() + 1),
       fits + "\\NuboTesa.lnk"},
      {"one byte too long", REG_SZ, tooLong.c_str(), static_cast<DWORD>(tooLong.size() + 1), ""},
      {"empty string", REG_SZ, "", 1, ""},
      {"not a string", REG_DWORD, &number, sizeof number, ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SetStartupValue(c.type, c.data, c.size)) << c.what;
    std::memset(&paths, 0x55, sizeof paths);
    ComposeStartupPaths(&paths);
    EXPECT_EQ(std::string(paths.ShortcutPath), c.expected) << c.what;
  }
}

}  // namespace
