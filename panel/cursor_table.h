// The process-wide table of the panel's pointer cursors, looked up by resource
// identifier. It lives for the whole process: constructed empty before main,
// filled by the panel, emptied again at exit.
#pragma once

#include <windows.h>

#include <cstdint>

#include "items/ptr_array.h"

struct CursorEntry {
  std::int32_t id;
  HCURSOR cursor;
};

class CursorTable {
 public:
  CursorTable() = default;
  // Teardown: forgets the instance and frees the entries.
  ~CursorTable();
  CursorTable(const CursorTable&) = delete;
  CursorTable& operator=(const CursorTable&) = delete;

  // Frees every entry and empties the table. The cursors are shared resource
  // cursors and are not destroyed.
  void Clear();

  // With an instance set, appends {id, LoadCursorW(instance, id)}; the entry
  // is kept even when the cursor cannot be loaded. With no instance, nothing.
  void AddCursor(std::int32_t id);

  // 1 and the index of the first entry with `id`, or 0 and index 0.
  int FindIndex(std::int32_t id, int* index) const;

  // The cursor of the first entry with `id`, or null.
  HCURSOR CursorFor(std::int32_t id) const;

  int Count() const { return entries.Count(); }
  const CursorEntry* EntryAt(int index) const {
    return static_cast<const CursorEntry*>(entries.SlotAt(index));
  }

  PtrArray entries;  // owned CursorEntry pointers, in the order added
  HINSTANCE instance = nullptr;
};

// The one table of the process.
CursorTable& Cursors();

// Refills the process's table with the panel's four cursors from `instance`,
// in this order: 123, 124, 122, 121 (the IDCUR_ numbers of
// resources/resource.h).
void LoadPanelCursors(HINSTANCE instance);

// The panel's cursor `id`, the four loaded from `instance` at the first call
// (and again when the table holds another module's).
HCURSOR PanelCursor(HINSTANCE instance, std::int32_t id);
