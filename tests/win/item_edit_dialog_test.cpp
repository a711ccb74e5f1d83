// The item edit dialog driven through its controls as a user drives it: texts
// set, focus moved, buttons clicked, message boxes read and answered.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "items/item_store.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/test_util.h"

namespace {

using Step = std::function<void(HWND dialog)>;

// Runs one step per tick of a thread timer, inside whatever modal loop runs
// (the dialog's or a message box's). A tick that finds a message box over the
// dialog logs and answers it instead. Without steps left, the dialog is
// cancelled.
struct Script {
  std::vector<Step> steps;
  size_t next = 0;
  std::vector<std::string> log = {};
  HWND answered = nullptr;
};
Script* script = nullptr;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32770") != 0 || GetWindow(window, GW_OWNER) == nullptr) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  const HWND dialog = testutil::FindDialog("登録内容の変更");
  if (dialog == nullptr) return;
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (box != nullptr) {
    if (box == script->answered) return;
    script->log.push_back("box " + testutil::WindowText(box) + ": " +
                          testutil::ItemText(box, 0xFFFF));
    script->answered = box;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  } else if (script->next < script->steps.size()) {
    script->steps[script->next++](dialog);
  } else {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

int RunEdit(ItemStore& store, std::int32_t key, Script& s) {
  script = &s;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
  const int result = store.EditItem(GetModuleHandleA(nullptr), nullptr, key);
  KillTimer(nullptr, timer);
  script = nullptr;
  return result;
}

Step Set(int id, std::string text) {
  return [=](HWND d) { testutil::SetItemText(d, id, text); };
}
Step SetWide(int id, std::wstring text) {
  return [=](HWND d) { SetDlgItemTextW(d, id, text.c_str()); };
}
Step Focus(int id) {
  return [=](HWND d) { PostMessageA(d, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(d, id), TRUE); };
}
Step Click(int id) {
  return [=](HWND d) { PostMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0); };
}
Step Key(WPARAM key) {
  return [=](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, key, 0); };
}
Step Select(int index) {
  return [=](HWND d) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = index < 0 ? 0 : LVIS_SELECTED;
    SendDlgItemMessageA(d, 1105, LVM_SETITEMSTATE, (WPARAM)index, (LPARAM)&item);
  };
}
// Logs the focused control and whether all its text is selected.
Step NoteFocus() {
  return [](HWND) {
    const HWND focus = GetFocus();
    DWORD from = 0, to = 0;
    SendMessageW(focus, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
    const bool all = from == 0 && to == (DWORD)GetWindowTextLengthW(focus);
    script->log.push_back("focus " + std::to_string(GetDlgCtrlID(focus)) +
                          (all ? " all" : " part"));
  };
}
// Logs the number of icons in the list and the selected one, and " cut" when
// the list does not show that one's icon whole.
Step NoteList() {
  return [](HWND d) {
    const LRESULT count = SendDlgItemMessageA(d, 1105, LVM_GETITEMCOUNT, 0, 0);
    const LRESULT selected = SendDlgItemMessageA(d, 1105, LVM_GETNEXTITEM, -1, LVNI_SELECTED);
    RECT icon = {LVIR_ICON, 0, 0, 0}, client = {};
    SendDlgItemMessageA(d, 1105, LVM_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&icon));
    GetClientRect(GetDlgItem(d, 1105), &client);
    const bool cut = selected >= 0 && (icon.top < 0 || icon.bottom > client.bottom);
    script->log.push_back("list " + std::to_string(count) + " sel " + std::to_string(selected) +
                          (cut ? " cut" : ""));
  };
}

std::string Fields(ItemStore& store, std::int32_t key) {
  int index = -1;
  char title[260] = "", target[260] = "", workDir[260] = "", iconFile[260] = "";
  store.GetFields(key, &index, title, target, workDir, iconFile);
  return std::string(title) + "|" + target + "|" + workDir + "|" + iconFile + "|" +
         std::to_string(index);
}

class ItemEditDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    folder = module;
    folder.erase(folder.rfind('\\'));
    icons10 = folder + "\\icons10.dll";
    ASSERT_TRUE(WriteWholeFile(document, "no icons of its own"));
  }
  ScopedTempDir dir;
  std::string folder, icons10;
  const std::string document = dir.File("note.txt");
  ItemStore store;
};

const char kBox[] = "box 入力ミス: ";
const char kUnwritable[] = "入力された文字の中に、このソフトでは扱えない文字が含まれています。";

// A title that code page 932 cannot write is refused; a folder named so is
// kept by its short name.
TEST_F(ItemEditDialogTest, ChecksInOrderThenStoresTheChosenIcon) {
  const std::wstring korean =
      platform::WideText(dir.Path().c_str()).get() + std::wstring(L"\\한글");
  ASSERT_TRUE(CreateDirectoryW(korean.c_str(), nullptr));
  wchar_t shortName[MAX_PATH] = L"";
  GetShortPathNameW(korean.c_str(), shortName, MAX_PATH);
  Script s{{Click(IDOK),
            NoteFocus(),
            SetWide(1100, L"한"),
            Click(IDOK),
            NoteFocus(),  //
            Set(1100, "Calc"),
            Set(1101, folder + "\\nothing.exe"),
            Click(IDOK),
            NoteFocus(),  //
            Set(1101, icons10),
            Click(IDOK),
            NoteFocus(),  //
            SetWide(1102, korean + L"\\none"),
            Click(IDOK),
            NoteFocus(),  //
            SetWide(1102, korean),
            Click(IDOK),
            NoteFocus(),  //
            Set(1103, icons10),
            Focus(1100),
            NoteList(),
            Select(-1),
            Click(IDOK),  //
            Select(3),
            Click(IDOK)}};
  EXPECT_EQ(RunEdit(store, 9, s), 1);
  const std::string b = kBox;
  EXPECT_EQ(s.log,
            (std::vector<std::string>{
                b + "タイトルが入力されていません。", "focus 1100 all", b + kUnwritable,
                "focus 1100 all", b + "指定されたファイル,場所は存在しません。", "focus 1101 all",
                b + "指定された場所は存在しません。", "focus 1102 all", b + kUnwritable,
                "focus 1102 all", b + "指定されたファイルにアイコンは存在しません。",
                "focus 1103 all", "list 10 sel 0", b + "アイコンを選んでください。"}));
  EXPECT_EQ(Fields(store, 9),
            "Calc|" + icons10 + "|" + testutil::Cp932(shortName) + "|" + icons10 + "|3");
}

TEST_F(ItemEditDialogTest, IconFileWithoutIconsIsReportedOnceAndCancelKeepsTheItem) {
  store.Put(4, 3, "Calc", icons10.c_str(), folder.c_str(), icons10.c_str());
  const std::string before = ReadWholeFile(store.ItemFilePath());
  Script s{{NoteList(), Focus(1103), Set(1103, document), Key(VK_RETURN), NoteFocus(), NoteList(),
            Focus(1100), NoteFocus(), Focus(1103), Set(1103, "no.ico"), Key(VK_ESCAPE)}};
  EXPECT_EQ(RunEdit(store, 4, s), 0);
  EXPECT_EQ(s.log,
            (std::vector<std::string>{"list 10 sel 3",
                                      std::string(kBox) + "指定されたファイルは存在していません。",
                                      "focus 1103 all", "list 0 sel -1", "focus 1100 all"}));
  EXPECT_EQ(ReadWholeFile(store.ItemFilePath()), before);
}

TEST_F(ItemEditDialogTest, IconsUpTo2048CanBeChosen) {
  const std::string many = folder + "\\icons2100.dll";
  store.Put(4, 0, "Many", many.c_str(), folder.c_str(), many.c_str());
  Script s{{NoteList(), Select(-1), Click(IDOK), Select(2048), Click(IDOK)}};
  EXPECT_EQ(RunEdit(store, 4, s), 1);
  EXPECT_EQ(s.log, (std::vector<std::string>{"list 2049 sel 0",
                                             std::string(kBox) + "アイコンを選んでください。"}));
  EXPECT_EQ(Fields(store, 4), "Many|" + many + "|" + folder + "|" + many + "|2048");
}

}  // namespace
