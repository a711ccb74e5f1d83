// Turning a dropped file into a new item: shortcuts are resolved to their
// target, anything else is registered as it is.
#include <windows.h>

#include "items/item_import_rules.h"
#include "items/item_store.h"
#include "items/shortcut_reader.h"

int ItemStore::ImportDroppedFile(const char* path, std::int32_t key) {
  ItemValues values;
  if (IsShortcutPath(path)) {
    ClearItemValues(&values);
    // Whatever the shortcut gave before a query failed stays; the rest is
    // derived from the target, which is empty when nothing could be read.
    ReadShortcut(path, values.title, values.target, values.workDir, values.iconFile,
                 &values.iconIndex);
    char systemDirectory[260] = "";
    const UINT length = GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    if (length >= sizeof systemDirectory) systemDirectory[0] = '\0';
    CompleteShortcutValues(&values, systemDirectory);
  } else {
    PlainFileValues(path, &values);
  }
  return Put(key, values.iconIndex, values.title, values.target, values.workDir, values.iconFile);
}
