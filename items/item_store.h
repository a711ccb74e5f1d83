// The registry of launcher items, mirrored record for record in the item file.
//
// Array order is item-file order: record i of `items` is record i of the file,
// and the panel's image i shows record i. Every change is written through at
// once; each file operation opens the file without sharing and closes it again.
// Operations return 1 for success (for lookups: found) and 0 otherwise; a change
// succeeds only when the item file now holds it, and one that fails leaves
// memory as the file has it. String outputs are caller buffers of 260 bytes.
#pragma once

#include <cstdint>

#include "items/item_record.h"
#include "items/ptr_array.h"

struct HINSTANCE__;
struct HWND__;

class ItemStore {
 public:
  // Names the item file after the current directory. A directory so long that
  // the path would not fit leaves the path empty: the store then reads as empty
  // and writes nothing.
  ItemStore();
  ~ItemStore();
  ItemStore(const ItemStore&) = delete;
  ItemStore& operator=(const ItemStore&) = delete;

  // The records of the item file. A file that exists but cannot be opened
  // (another program holds it) leaves the records of the last Load in memory.
  void Load();
  // False after a Load that could not read every record of an existing file:
  // every change is then refused, since an append would overwrite a record
  // memory lacks and a rewrite would drop it.
  bool HoldsWholeFile() const { return holdsWholeFile_; }
  int ItemCount() const { return items.Count(); }
  int RecordCount() const;
  int ReadRecord(int index, ItemRecord* record) const;
  int WriteRecord(int index, const ItemRecord& record) const;

  int FindKey(std::int32_t key, int* index) const;
  int HasKey(std::int32_t key) const;
  int IndexOfKey(std::int32_t key, int* index) const { return FindKey(key, index); }
  int HasTarget(const char* path) const;
  int GetFields(std::int32_t key, int* iconIndex, char* title, char* target, char* workDir,
                char* iconFile) const;
  int GetTitle(std::int32_t key, char* title) const;
  int GetIconByKey(std::int32_t key, char* iconFile, int* iconIndex) const;
  int GetIconAt(int index, char* iconFile, int* iconIndex) const;
  int KeyAt(int index, std::int32_t* key) const;

  int SwapKeys(std::int32_t a, std::int32_t b);
  int MoveKey(std::int32_t key, std::int32_t newKey);
  int Put(std::int32_t key, int iconIndex, const char* title, const char* target,
          const char* workDir, const char* iconFile);
  int Remove(std::int32_t key);
  void FreeAll();

  // Windows only. Registers a dropped file as a new item at key; a shell
  // shortcut is resolved to its target. 1 when the item was stored, 0 when
  // the file did not take it, -1 for a link whose paths cannot be written
  // (item_import.cpp).
  int ImportDroppedFile(const char* path, std::int32_t key);
  // Windows only. Runs the item edit dialog for the item at key (a new item
  // when there is none); 1 when the user confirmed and the item was stored,
  // -1 when the confirmed item could not be stored, 0 when the dialog was
  // cancelled (item_edit_dialog.cpp).
  int EditItem(HINSTANCE__* instance, HWND__* parent, std::int32_t key);

  const char* ItemFilePath() const { return itemFilePath; }
  const ItemRecord* RecordAt(int index) const;

 private:
  ItemRecord* At(int index) const { return static_cast<ItemRecord*>(items.SlotAt(index)); }
  int RewriteWithout(int skipIndex) const;
  void DropFrom(int first);

  PtrArray items;
  char itemFilePath[kPathSize];
  bool holdsWholeFile_ = true;
  bool loaded_ = false;  // a Load has read the file, or found none
};
