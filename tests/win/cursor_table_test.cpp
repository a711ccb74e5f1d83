// The process's cursor table with real cursors.
#include "panel/cursor_table.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::string Ids(const CursorTable& table) {
  std::string ids;
  for (int i = 0; i < table.Count(); ++i) {
    const CursorEntry* e = table.EntryAt(i);
    ids += (i > 0 ? " " : "") + (e != nullptr ? std::to_string(e->id) : std::string("null"));
  }
  return ids;
}

TEST(CursorTable, EmptyTableHasNoCursors) {
  CursorTable table;
  for (std::int32_t id : {0, 120, 121, 122, 123, 124, -1}) {
    int index = 7;
    EXPECT_EQ(table.FindIndex(id, &index), 0) << id;
    EXPECT_EQ(index, 0) << id;
    EXPECT_EQ(table.CursorFor(id), nullptr) << id;
  }
}

TEST(CursorTable, AddCursorNeedsAnInstance) {
  CursorTable table;
  table.AddCursor(123);
  EXPECT_EQ(table.Count(), 0);
}

TEST(CursorTable, LooksUpTheFirstEntryOfAnIdentifier) {
  // The system's own cursors stand in for the program's: user32 holds them as
  // resources under their OCR_ numbers.
  CursorTable table;
  table.instance = GetModuleHandleA("user32.dll");
  ASSERT_NE(table.instance, nullptr);
  table.AddCursor(32512);  // arrow
  table.AddCursor(32513);  // I-beam
  table.AddCursor(32512);
  table.AddCursor(5);  // no such resource: the entry stays, with no cursor
  ASSERT_EQ(Ids(table), "32512 32513 32512 5");
  const HCURSOR arrow = table.EntryAt(0)->cursor;
  ASSERT_NE(arrow, nullptr);
  ASSERT_NE(table.EntryAt(1)->cursor, nullptr);
  EXPECT_NE(table.EntryAt(1)->cursor, arrow);
  int index = -1;
  EXPECT_EQ(table.FindIndex(32512, &index), 1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(table.FindIndex(32513, &index), 1);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(table.CursorFor(32513), table.EntryAt(1)->cursor);
  EXPECT_EQ(table.FindIndex(5, &index), 1);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(table.CursorFor(5), nullptr);
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.CursorFor(32512), nullptr);
}

TEST(CursorTable, PanelLoadFillsTheProcessTableInItsOrder) {
  const HINSTANCE program = GetModuleHandleA(nullptr);
  LoadPanelCursors(program);
  CursorTable& table = Cursors();
  EXPECT_EQ(table.instance, program);
  EXPECT_EQ(Ids(table), "123 124 122 121");
  LoadPanelCursors(program);
  EXPECT_EQ(Ids(table), "123 124 122 121") << "a second load";
  EXPECT_EQ(table.CursorFor(120), nullptr);
  int index = 0;
  EXPECT_EQ(table.FindIndex(122, &index), 1);
  EXPECT_EQ(index, 2);
  // The test program carries the program's resources, cursors included.
  for (int i = 0; i < table.Count(); ++i) {
    const CursorEntry* e = table.EntryAt(i);
    EXPECT_NE(e->cursor, nullptr) << "cursor " << e->id;
    EXPECT_EQ(table.CursorFor(e->id), e->cursor) << "cursor " << e->id;
  }
}

}  // namespace
