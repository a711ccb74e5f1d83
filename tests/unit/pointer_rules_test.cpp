#include "panel/pointer_rules.h"

#include <gtest/gtest.h>

namespace {

using pointer::MoveAction;
using pointer::ReleaseAction;

TEST(PointerRules, ClickDistanceIsTwoPixelsInEitherAxis) {
  struct Case {
    grid::Point press;
    std::uint32_t x, y;
    bool beyond;
  } cases[] = {
      {{40, 40}, 40, 40, false},     {{40, 40}, 42, 42, false},
      {{40, 40}, 38, 38, false},     {{40, 40}, 43, 40, true},
      {{40, 40}, 40, 43, true},      {{40, 40}, 37, 40, true},
      {{40, 40}, 40, 37, true},      {{40, 40}, 43, 43, true},
      {{0, 0}, 65535, 0, true},  // left of the window: a large unsigned value
      {{65535, 5}, 65533, 5, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pointer::BeyondClick(c.press, c.x, c.y), c.beyond)
        << "press (" << c.press.x << ", " << c.press.y << "), pointer (" << c.x << ", " << c.y
        << ")";
  }
}

TEST(PointerRules, MovesAndReleasesInEachDragState) {
  struct MoveCase {
    std::int32_t state;
    bool beyond;
    MoveAction action;
  } moves[] = {
      {pointer::kUnset, true, MoveAction::kHover},
      {pointer::kIdle, true, MoveAction::kHover},
      {pointer::kPressed, false, MoveAction::kHover},
      {pointer::kPressed, true, MoveAction::kBeginDrag},
      {pointer::kDragging, false, MoveAction::kMoveDrag},
      {pointer::kDragging, true, MoveAction::kMoveDrag},
      {pointer::kCancelled, true, MoveAction::kHover},
  };
  for (const MoveCase& c : moves) {
    EXPECT_EQ(pointer::OnMove(c.state, c.beyond), c.action)
        << "state " << c.state << ", beyond " << c.beyond << ": got "
        << static_cast<int>(pointer::OnMove(c.state, c.beyond));
  }
  struct ReleaseCase {
    std::int32_t state, key, source;
    ReleaseAction action;
  } releases[] = {
      {pointer::kUnset, 3, -1, ReleaseAction::kLaunch},
      {pointer::kIdle, 3, -1, ReleaseAction::kLaunch},
      {pointer::kPressed, 3, 3, ReleaseAction::kLaunch},
      {pointer::kPressed, 4, 3, ReleaseAction::kLaunch},  // the release cell decides
      {pointer::kDragging, 4, 3, ReleaseAction::kDropElsewhere},
      {pointer::kDragging, 3, 3, ReleaseAction::kDropOnItself},
      {pointer::kCancelled, 3, -1, ReleaseAction::kNothing},  // a menu ended the press
  };
  for (const ReleaseCase& c : releases) {
    EXPECT_EQ(pointer::OnRelease(c.state, c.key, c.source), c.action)
        << "state " << c.state << ", key " << c.key << ", source " << c.source << ": got "
        << static_cast<int>(pointer::OnRelease(c.state, c.key, c.source));
  }
}

TEST(PointerRules, CursorsAndConfinement) {
  struct Case {
    bool onItem;
    int press, hover, release;
  } cases[] = {{true, 124, 124, 123}, {false, 122, 123, 124}};
  for (const Case& c : cases) {
    EXPECT_EQ(pointer::CursorAfterPress(c.onItem), c.press) << "on item " << c.onItem;
    EXPECT_EQ(pointer::CursorWhileHovering(c.onItem), c.hover) << "on item " << c.onItem;
    EXPECT_EQ(pointer::CursorAfterRelease(c.onItem), c.release) << "on item " << c.onItem;
  }
  const grid::Rect window = {100, 50, 300, 250};
  EXPECT_EQ(pointer::Confinement(window, 32), (grid::Rect{104, 54, 296, 246}));
  EXPECT_EQ(pointer::Confinement(window, 47), (grid::Rect{105, 55, 295, 245}));
  EXPECT_EQ(pointer::Confinement(window, 168), (grid::Rect{121, 71, 279, 229}));
}

}  // namespace
