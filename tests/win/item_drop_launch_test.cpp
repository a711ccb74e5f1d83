// Drops posted to the real main window as the shell posts them, and launches of
// launch_recorder.exe, which writes down how it was started.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "platform/wide_names.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

// An HDROP as the shell makes it: DROPFILES, then the UTF-16 names, each
// zero-terminated, and one more zero (on the frame when `frame`).
HGLOBAL MakeWideDrop(const std::vector<std::wstring>& files, int x, int y, bool frame = false) {
  std::wstring names;
  for (const std::wstring& f : files) names += f + L'\0';
  names += L'\0';
  const std::size_t bytes = names.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = {x, y};
  drop->fWide = TRUE;
  drop->fNC = frame;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), bytes);
  GlobalUnlock(memory);
  return memory;
}

// The same for the tests' code-page-932 paths.
HGLOBAL MakeDrop(const std::vector<std::string>& files, int x, int y, bool frame = false) {
  std::vector<std::wstring> wide;
  for (const std::string& f : files) wide.push_back(testutil::Wide(f));
  return MakeWideDrop(wide, x, y, frame);
}

bool SaveLink(const std::wstring& path, const std::wstring& target) {
  platform::ComPtr<IShellLinkW> link;
  platform::ComPtr<IPersistFile> file;
  return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.put())) &&
         SUCCEEDED(link->SetPath(target.c_str())) &&
         SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put())) &&
         SUCCEEDED(file->Save(path.c_str(), TRUE));
}

class ItemDropLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string recorder = module;
    recorder.replace(recorder.rfind('\\') + 1, std::string::npos, "launch_recorder.exe");
    ASSERT_TRUE(CreateDirectoryW(testutil::Wide(folder).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(testutil::Wide(dir.File("能力 十")).c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileW(testutil::Wide(recorder).c_str(), testutil::Wide(program).c_str(), FALSE));
    ASSERT_TRUE(WriteWholeFile(document, "text"));
    SetEnvironmentVariableA("NUBO_LAUNCH_RECORD", record.c_str());
    testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Startup", "0"}});
    testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
    app.reset(new LauncherApp);  // reads the settings written above
    ASSERT_EQ(app->Start(GetModuleHandleA(nullptr)), 1);
    app->Panel().ToggleHidden();
    window = app->MainWindow();
    boxes.Clear();  // the missing sample wallpaper
    testutil::PumpUntil([&] { return !GetUpdateRect(window, nullptr, FALSE); }, 2000);
    // The image list is made once the loop runs.
    ASSERT_TRUE(testutil::PumpUntil([&] { return app->Panel().ImageList.get() != nullptr; }, 5000));
  }
  void TearDown() override {
    SendMessageA(window, WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(2000);
    SetEnvironmentVariableA("NUBO_LAUNCH_RECORD", nullptr);
    platform::SetShortNameLookup(nullptr);
  }

  // Drops onto cell `column` of the first row and waits for `items` items.
  bool Drop(const std::vector<std::string>& files, int column, int items) {
    return Drop(MakeDrop(files, column * 32 + 5, 9), items);
  }
  bool Drop(HGLOBAL drop, int items) {
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return testutil::PumpUntil([&] { return app->Panel().items.ItemCount() == items; }, 10000);
  }
  // The recorder's two lines, once it has written them; the command line
  // without the quoted program path in front and the blank after it.
  std::vector<std::string> WaitForLaunch(const std::string& started = "") {
    // Read whole and deleted: the recorder's rename can still hold the file
    // for a moment after the name appears (a loaded machine starts slowly).
    std::string text;
    testutil::PumpUntil(
        [&] {
          text = ReadWholeFile(record);
          return std::count(text.begin(), text.end(), '\n') == 2 && DeleteFileA(record.c_str());
        },
        20000);
    const std::string quoted = "\"" + (started.empty() ? program : started) + "\"";
    const size_t end = text.find("\r\n");
    if (end == std::string::npos || text.compare(0, quoted.size(), quoted) != 0) return {text};
    const std::string rest = text.substr(quoted.size(), end - quoted.size());
    return {rest.empty() ? rest : rest.substr(1), text.substr(end + 2, text.size() - end - 4)};
  }
  // Pixels of the first row of cells in the window that differ from a
  // normal painting of the cell, and that differ from the background.
  std::pair<int, int> CellPixels(std::int32_t key) {
    testutil::Canvas shown(8 * 32, 32), normal(8 * 32, 32);
    BitBlt(shown.dc(), 0, 0, 8 * 32, 32, platform::WindowDc(window).get(), 0, 0, SRCCOPY);
    app->Panel().PaintItemCell(normal.dc(), key, 1);
    int highlighted = 0, drawn = 0;
    for (int y = 4; y < 28; ++y)
      for (int x = key * 32 + 4; x < key * 32 + 28; ++x) {
        highlighted += shown.Pixel(x, y) != normal.Pixel(x, y);
        drawn += shown.Pixel(x, y) != RGB(158, 195, 255);
      }
    return {highlighted, drawn};
  }

  ScopedTempDir dir;
  MessageBoxAnswerer boxes;
  const std::string folder = dir.File("ソフト 表");  // ソ and 表 end in 0x5C
  const std::string program = folder + "\\launch_recorder.exe";
  const std::string document = dir.File("能力 十\\表 doc.txt");
  const std::string record = dir.File("record.txt");
  std::unique_ptr<LauncherApp> app;
  HWND window = nullptr;
};

TEST_F(ItemDropLaunchTest, RegisterLaunchOpenDuplicateDelete) {
  LauncherPanel& panel = app->Panel();
  ASSERT_TRUE(IsWindowVisible(window));
  // Registered from the first of two files, icon appended and drawn highlighted.
  ASSERT_TRUE(Drop({program, document}, 5, 1));
  char title[260], target[260], workDir[260], iconFile[260];
  int index = -1;
  ASSERT_TRUE(panel.items.GetFields(5, &index, title, target, workDir, iconFile));
  EXPECT_EQ(std::string(target) + "|" + workDir + "|" + title,
            program + "|" + folder + "|launch_recorder.exe");
  EXPECT_EQ(ImageList_GetImageCount(panel.ImageList.get()), 1);
  const auto pixels = CellPixels(5);
  EXPECT_GT(pixels.first, 0) << "the new cell is not highlighted";
  EXPECT_GT(pixels.second, 0) << "the new cell shows no icon";

  panel.LaunchAt(5);
  EXPECT_EQ(WaitForLaunch(), (std::vector<std::string>{"", folder}));
  ASSERT_TRUE(Drop({document, program}, 5, 1));
  EXPECT_EQ(WaitForLaunch(), (std::vector<std::string>{"\"" + document + "\"", folder}));
  panel.settings.Small = 1;
  panel.LaunchAt(5);
  EXPECT_EQ(WaitForLaunch(), (std::vector<std::string>{"", folder}));
  EXPECT_EQ(panel.Hidden, 1);
  EXPECT_FALSE(IsWindowVisible(window));
  panel.settings.Small = 0;
  panel.ToggleHidden();

  // A drop without files registers nothing. The same target again: Cancel
  // keeps everything, OK registers a second item.
  PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({}, 6 * 32, 0)), 0);
  boxes.QueueAnswer(IDCANCEL);
  PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({program}, 6 * 32, 0)), 0);
  ASSERT_TRUE(boxes.WaitForBoxes(1));
  EXPECT_EQ(boxes.Seen()[0].text, "そのファイルは既に登録済みです。登録してよろしいですか？");
  EXPECT_EQ(boxes.Seen()[0].caption, "確認");
  EXPECT_EQ(boxes.Seen()[0].owner, window);
  testutil::PumpUntil([] { return testutil::FindDialog("確認") == nullptr; }, 2000);
  EXPECT_EQ(panel.items.ItemCount(), 1) << "Cancel or an empty drop registered something";
  ASSERT_TRUE(Drop({program}, 6, 2));
  ASSERT_TRUE(Drop({document}, 7, 3));  // no icon under Wine: still one image per item
  EXPECT_EQ(ImageList_GetImageCount(panel.ImageList.get()), 3);

  // Delete at once; the others keep their cells and images.
  panel.SetContextCell(5 * 32 + 1, 1);
  SendMessageA(window, WM_COMMAND, 40002, 0);
  std::int32_t keys[2] = {-1, -1};
  panel.items.KeyAt(0, &keys[0]);
  panel.items.KeyAt(1, &keys[1]);
  EXPECT_EQ(panel.items.ItemCount(), 2);
  EXPECT_EQ(std::to_string(keys[0]) + "," + std::to_string(keys[1]), "6,7");
  EXPECT_EQ(ImageList_GetImageCount(panel.ImageList.get()), 2);
  EXPECT_EQ(FileSize(panel.items.ItemFilePath()), 2 * 920);
  EXPECT_EQ(panel.ContextKey, -1);
  EXPECT_EQ(boxes.Seen().size(), 2u);  // with the missing wallpaper when shown again

  // Names outside the code page: stored by the short name, titled by the last
  // part of the long one (the whole long path is past 259 bytes).
  wchar_t here[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, here);
  const std::wstring tools = here + std::wstring(L"\\도구 ü"),
                     part = L"\\" + std::wstring(60, L'表');
  const std::wstring deep = tools + part + part;
  const std::wstring exe = deep + L"\\실행 ü 🎉.exe", link = here + std::wstring(L"\\link.lnk");
  const std::wstring note = tools + L"\\메모 é.txt";
  ASSERT_TRUE(CreateDirectoryW(tools.c_str(), nullptr) &&
              CreateDirectoryW((tools + part).c_str(), nullptr) &&
              CreateDirectoryW(deep.c_str(), nullptr) && SaveLink(link, exe) &&
              CopyFileW(L"ソフト 表\\launch_recorder.exe", exe.c_str(), FALSE) &&
              CopyFileW(L"能力 十\\表 doc.txt", note.c_str(), FALSE));
  for (int key = 1; key <= 2; ++key) {
    ASSERT_TRUE(Drop(MakeWideDrop({key == 1 ? exe : link}, key * 32, 0), key + 2));
    ASSERT_TRUE(panel.items.GetFields(key, &index, title, target, workDir, iconFile));
    EXPECT_EQ(title + std::string(FileExists(target) ? "" : " (missing)"), "〓〓 〓 〓.exe");
    panel.LaunchAt(key);
    EXPECT_EQ(WaitForLaunch(target), (std::vector<std::string>{"", workDir})) << key;
  }
  platform::SetShortNameLookup(testutil::NoShortName);  // until TearDown
  Drop(MakeWideDrop({note}, 64, 0), 4);
  EXPECT_EQ(WaitForLaunch(target).size(), 2u) << "the document did not reach the program";
  // Each refusal says what is wrong: the file's name, a folder's, the length.
  const std::pair<std::wstring, std::string> refusals[] = {
      {exe, "ファイルの名前に、このソフトでは扱えない文字"},
      {tools + L"\\plain.exe", "ファイルのあるフォルダの名前に、"},
      {here + (L"\\" + std::wstring(150, L'表')), "ファイルの場所が長すぎるため、"},
      {link, "ショートカットが指すファイル（リンク先、作業フォルダ、アイコン）の名前に"},
      {L"", "ショートカットが指すファイル"}};  // the link handed over directly
  for (const auto& refused : refusals) {
    boxes.Clear();
    if (refused.first.empty()) panel.DropFile(dir.File("link.lnk").c_str(), 96, 9);
    if (!refused.first.empty()) Drop(MakeWideDrop({refused.first}, 96, 0), 4);
    ASSERT_TRUE(boxes.WaitForBoxes(1));
    EXPECT_EQ(boxes.Seen()[0].text.substr(0, refused.second.size()), refused.second);
    testutil::PumpUntil([] { return testutil::FindDialog("ホコからの警告") == nullptr; }, 2000);
    EXPECT_EQ(boxes.Seen().size(), 1u) << refused.second;
  }
  EXPECT_EQ(panel.items.ItemCount(), 4);
}

// Drops on each edge of the frame with the point as Wine gives it: in client
// coordinates, outside the client area. The nearest cell shown takes the item.
TEST_F(ItemDropLaunchTest, DropsOnTheFrameRegisterAtTheNearestCell) {
  RECT client;
  GetClientRect(window, &client);
  const int w = client.right, h = client.bottom;
  const struct {
    const char* edge;
    int x, y;
    std::int32_t key;
  } drops[] = {{"left", -3, 40, 128},
               {"top", 100, -4, 3},
               {"right", w + 3, 40, 128 + (w - 1) / 32},
               // On screen, too, a point of the left frame: the pointer tells.
               {"bottom", 80, h + 2, (h - 1) / 32 * 128 + 2}};
  const std::string files[] = {program, document, folder, dir.File("能力 十")};
  for (int i = 0; i < 4; ++i) {
    const auto& d = drops[i];
    POINT pointer = {d.x, d.y};
    ClientToScreen(window, &pointer);
    SetCursorPos(pointer.x, pointer.y);
    EXPECT_TRUE(Drop(MakeDrop({files[i]}, d.x, d.y, true), i + 1)) << d.edge;
    std::int32_t key = -1;
    app->Panel().items.KeyAt(i, &key);
    EXPECT_EQ(key, d.key) << d.edge << " edge, client " << w << " x " << h;
  }
}

}  // namespace
