// Shortcuts made through IShellLinkW and dropped into a real item store.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "items/item_store.h"
#include "platform/win_handles.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/test_util.h"

namespace {

struct Link {
  const char* description;
  std::string target, workDir, iconFile;
  int iconIndex;
};

bool SaveLink(const std::string& path, const Link& l) {
  using testutil::Wide;
  platform::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put())))
    return false;
  if (l.description[0] != '\0') link->SetDescription(Wide(l.description).c_str());
  if (!l.target.empty()) link->SetPath(Wide(l.target).c_str());
  if (!l.workDir.empty()) link->SetWorkingDirectory(Wide(l.workDir).c_str());
  if (!l.iconFile.empty()) link->SetIconLocation(Wide(l.iconFile).c_str(), l.iconIndex);
  platform::ComPtr<IPersistFile> file;
  return SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put())) &&
         SUCCEEDED(file->Save(Wide(path).c_str(), TRUE));
}

std::string Imported(ItemStore& store, const std::string& path, std::int32_t key) {
  store.ImportDroppedFile(path.c_str(), key);
  int index = -1;
  char title[260] = "?", target[260] = "?", workDir[260] = "?", iconFile[260] = "?";
  if (!store.GetFields(key, &index, title, target, workDir, iconFile)) return "no item";
  return std::string(title) + "|" + target + "|" + workDir + "|" + iconFile + "|" +
         std::to_string(index);
}

TEST(ItemImportWin, ShortcutsResolveToTheirTargets) {
  ScopedTempDir dir;
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  const std::string soft = dir.File("ソフト");  // ソ ends in 0x5C
  ASSERT_TRUE(CreateDirectoryW(testutil::Wide(soft).c_str(), nullptr));
  const std::string program = soft + "\\表計算.exe";
  ASSERT_TRUE(WriteWholeFile(program, "MZ"));
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string shell32 = std::string(system) + "\\shell32.dll";
  const struct {
    const char* name;
    Link link;
    std::string expected;
  } cases[] = {
      {"plain.lnk",
       {"", program, "", "", 0},
       "表計算.exe|" + program + "|" + soft + "|" + program + "|0"},
      {"folder.Lnk",
       {"", soft + "\\", "", "", 0},
       "|" + soft + "\\|" + soft + "|" + shell32 + "|8"},
      {"icon.LNK",
       {"Calc", program, "C:\\", shell32, 3},
       "Calc|" + program + "|C:\\|" + shell32 + "|3"},
      // An empty path answers S_FALSE: reading stops after the description.
      {"nopath.lnk", {"Only a description", "", "", "", 0}, "Only a description||||0"},
  };
  ItemStore store;
  std::int32_t key = 0;
  for (const auto& c : cases) {
    const std::string path = soft + "\\" + c.name;
    ASSERT_TRUE(SaveLink(path, c.link)) << c.name;
    EXPECT_EQ(Imported(store, path, key++), c.expected) << c.name;
  }
  // A path that is no valid code-page-932 text (0x81 0x20) cannot be read at all.
  EXPECT_EQ(Imported(store, dir.File("\x81 .lnk"), key), "||||0");
  CoUninitialize();
}

}  // namespace
