#include "panel/pointer_rules.h"

namespace pointer {

bool BeyondClick(grid::Point press, std::uint32_t x, std::uint32_t y) {
  // Both sides are at most 65535, so the differences cannot overflow.
  const std::int64_t dx = static_cast<std::int64_t>(x) - press.x;
  const std::int64_t dy = static_cast<std::int64_t>(y) - press.y;
  return dx > kClickSlop || dx < -kClickSlop || dy > kClickSlop || dy < -kClickSlop;
}

MoveAction OnMove(std::int32_t dragState, bool beyondClick) {
  if (dragState == kPressed && beyondClick) return MoveAction::kBeginDrag;
  if (dragState == kDragging) return MoveAction::kMoveDrag;
  return MoveAction::kHover;
}

ReleaseAction OnRelease(std::int32_t dragState, std::int32_t releaseKey, std::int32_t sourceKey) {
  if (dragState == kCancelled) return ReleaseAction::kNothing;
  if (dragState != kDragging) return ReleaseAction::kLaunch;
  return releaseKey == sourceKey ? ReleaseAction::kDropOnItself : ReleaseAction::kDropElsewhere;
}

int CursorAfterPress(bool onItem) {
  return onItem ? kCursorPointingHand : kCursorMovingWindow;
}

int CursorWhileHovering(bool onItem) {
  return onItem ? kCursorPointingHand : kCursorOpenHand;
}

int CursorAfterRelease(bool onItem) {
  return onItem ? kCursorOpenHand : kCursorPointingHand;
}

grid::Rect Confinement(const grid::Rect& window, int cellSize) {
  const std::int32_t inset = cellSize / 8;
  return {window.left + inset, window.top + inset, window.right - inset, window.bottom - inset};
}

}  // namespace pointer
