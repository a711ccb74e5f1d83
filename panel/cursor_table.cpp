#include "panel/cursor_table.h"

#include <new>

#include "resources/resource.h"

namespace {

// Constant-initialised, so it is ready before any other static object runs.
CursorTable g_cursorTable;

}  // namespace

CursorTable::~CursorTable() {
  instance = nullptr;
  Clear();
}

void CursorTable::Clear() {
  const int count = entries.Count();
  for (int i = 0; i < count; ++i) delete static_cast<CursorEntry*>(entries.SlotAt(i));
  entries.Clear();
}

void CursorTable::AddCursor(std::int32_t id) {
  if (instance == nullptr) return;
  auto* entry = new (std::nothrow)
      CursorEntry{id, LoadCursorW(instance, MAKEINTRESOURCEW(static_cast<WORD>(id)))};
  if (entry == nullptr) return;
  // A refused append must not leave the entry behind unowned.
  if (entries.Append(entry) != 0) delete entry;
}

int CursorTable::FindIndex(std::int32_t id, int* index) const {
  *index = 0;
  const int count = entries.Count();
  for (int i = 0; i < count; ++i) {
    const CursorEntry* entry = EntryAt(i);
    if (entry != nullptr && entry->id == id) {
      *index = i;
      return 1;
    }
  }
  return 0;
}

HCURSOR CursorTable::CursorFor(std::int32_t id) const {
  int index = 0;
  if (FindIndex(id, &index) == 0) return nullptr;
  const CursorEntry* entry = EntryAt(index);
  return entry != nullptr ? entry->cursor : nullptr;
}

CursorTable& Cursors() {
  return g_cursorTable;
}

void LoadPanelCursors(HINSTANCE instance) {
  static constexpr std::int32_t kOrder[] = {IDCUR_OVER_EMPTY, IDCUR_OVER_ITEM, IDCUR_MOVING_WINDOW,
                                            IDCUR_DRAGGING};
  CursorTable& table = Cursors();
  table.instance = instance;
  table.Clear();
  for (std::int32_t id : kOrder) table.AddCursor(id);
}

HCURSOR PanelCursor(HINSTANCE instance, std::int32_t id) {
  CursorTable& table = Cursors();
  if (table.instance != instance || table.Count() == 0) LoadPanelCursors(instance);
  return table.CursorFor(id);
}
