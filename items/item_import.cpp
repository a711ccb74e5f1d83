// Turning a dropped file into a new item: shortcuts are resolved to their
// target, anything else is registered as it is.
#include <windows.h>

#include "items/item_import_rules.h"
#include "items/item_store.h"
#include "items/shortcut_reader.h"
#include "platform/wide_names.h"

namespace {

// A path whose name code page 932 cannot write arrives by its short name; the
// title then shows the long name as the user knows it, the characters that
// cannot be written replaced. Any other title stays as it is.
void TitleFromLongName(const char* path, char* title) {
  wchar_t wide[MAX_PATH], longPath[MAX_PATH];
  char exact[MAX_PATH], shown[MAX_PATH];
  if (!platform::WideOf(path, wide, MAX_PATH)) return;
  const DWORD length = GetLongPathNameW(wide, longPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || platform::ExactCp932Name(longPath, exact)) return;
  platform::ShownCp932Name(longPath, shown);
  NameOf(shown, title);
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
    char systemDirectory[260] = "";
    const UINT length = GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    if (length >= sizeof systemDirectory) systemDirectory[0] = '\0';
    CompleteShortcutValues(&values, systemDirectory);
  } else {
    PlainFileValues(path, &values);
    TitleFromLongName(path, values.title);
  }
  return Put(key, values.iconIndex, values.title, values.target, values.workDir, values.iconFile);
}
