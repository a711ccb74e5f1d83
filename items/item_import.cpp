// Turning a dropped file into a new item: shortcuts are resolved to their
// target, anything else is registered as it is.
#include <windows.h>

#include <cwchar>

#include "items/item_import_rules.h"
#include "items/item_store.h"
#include "items/shortcut_reader.h"
#include "platform/wide_names.h"

namespace {

// A path whose name code page 932 cannot write arrives by its short name; the
// title then shows the last name of the long path as the user knows it, the
// characters that cannot be written replaced. Any other title stays as it is.
void TitleFromLongName(const char* path, char* title) {
  // The long form of a short path may well be longer than MAX_PATH.
  wchar_t wide[MAX_PATH], longPath[platform::kWideTextUnits];
  char exact[MAX_PATH];
  if (!platform::WideOf(path, wide, MAX_PATH)) return;
  const DWORD length = GetLongPathNameW(wide, longPath, platform::kWideTextUnits);
  if (length == 0 || length >= platform::kWideTextUnits) return;
  if (platform::ExactCp932Name(longPath, exact)) return;
  // Named from the long path's own last part: cut to the title's room, a
  // whole path would lose its end.
  const wchar_t* name = std::wcsrchr(longPath, L'\\');
  if (name == nullptr || name == longPath || name[1] == L'\0') return;
  platform::ShownCp932Name(name + 1, title);
}

// The system folder in code page 932 (ASCII on every Windows); empty when it
// cannot be written so.
void SystemDirectory(char (&out)[260]) {
  wchar_t wide[MAX_PATH];
  const UINT length = GetSystemDirectoryW(wide, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || !platform::Cp932Of(wide, out, sizeof out)) out[0] = '\0';
}

}  // namespace

int ItemStore::ImportDroppedFile(const char* path, std::int32_t key) {
  ItemValues values;
  if (IsShortcutPath(path)) {
    ClearItemValues(&values);
    // Whatever the shortcut gave before a query failed stays; the rest is
    // derived from the target, which is empty when nothing could be read. A
    // link naming a path that cannot be written is not stored at all.
    if (ReadShortcut(path, values.title, values.target, values.workDir, values.iconFile,
                     &values.iconIndex) == kShortcutUnwritable) {
      return -1;
    }
    if (values.title[0] == '\0') TitleFromLongName(values.target, values.title);
    char systemDirectory[260];
    SystemDirectory(systemDirectory);
    CompleteShortcutValues(&values, systemDirectory);
  } else {
    PlainFileValues(path, &values);
    TitleFromLongName(path, values.title);
  }
  return Put(key, values.iconIndex, values.title, values.target, values.workDir, values.iconFile);
}
