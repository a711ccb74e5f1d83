// The test helper that answers message boxes: what other tests rely on.
#include "tests/win/message_boxes.h"

#include <gtest/gtest.h>

#include "platform/ui_text.h"

namespace {

void CALLBACK ShowBoxOnce(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  MessageBoxA(nullptr, "later", "Error", MB_OK);
}

TEST(MessageBoxAnswerer, RecordsTextCaptionOwnerAndAnswersInOrder) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  MessageBoxAnswerer boxes;
  boxes.QueueAnswer(IDCANCEL);
  EXPECT_EQ(platform::ShowMessageBox(owner, "確認しますか", "確認", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(platform::ShowMessageBox(owner, "二行目\nです", "ほこらぎ工房より", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "", "x", MB_OK), IDOK);
  ASSERT_EQ(boxes.Seen().size(), 3u);
  EXPECT_EQ(boxes.Seen()[0].text, "確認しますか");
  EXPECT_EQ(boxes.Seen()[0].caption, "確認");
  EXPECT_EQ(boxes.Seen()[0].owner, owner);
  EXPECT_EQ(boxes.Seen()[0].answer, IDCANCEL);
  EXPECT_EQ(boxes.Seen()[1].text, "二行目\nです");
  EXPECT_EQ(boxes.Seen()[1].caption, "ほこらぎ工房より");
  EXPECT_EQ(boxes.Seen()[1].answer, IDOK);
  EXPECT_EQ(boxes.Seen()[2].owner, nullptr);
  DestroyWindow(owner);
}

TEST(MessageBoxAnswerer, WaitForBoxesPumpsUntilALaterBoxShows) {
  MessageBoxAnswerer boxes;
  // A box shown from a timer only comes while someone runs the message loop.
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, ShowBoxOnce);
  ASSERT_NE(timer, 0u);
  EXPECT_TRUE(boxes.Seen().empty());
  ASSERT_TRUE(boxes.WaitForBoxes(1, 5000));
  EXPECT_EQ(boxes.Seen()[0].text, "later");
  EXPECT_FALSE(boxes.WaitForBoxes(2, 50));
}

}  // namespace
