// Decisions of the panel's pointer handling, with no window system: when a
// press turns into a drag, what a move or a release does in each drag state,
// which pointer shape each moment shows, and where a pressed pointer is held.
#pragma once

#include <cstdint>

#include "panel/grid_geometry.h"

namespace pointer {

// The panel's DragState values. A new panel starts at kUnset, which behaves
// like kIdle. kCancelled is a press of an item that a menu ended while the
// button was still down: its release only frees the pointer.
constexpr std::int32_t kUnset = -1;
constexpr std::int32_t kIdle = 0;
constexpr std::int32_t kPressed = 1;
constexpr std::int32_t kDragging = 2;
constexpr std::int32_t kCancelled = 3;

// How far the pointer may move from the press point, in x and in y, for the
// gesture to stay a click.
constexpr std::int32_t kClickSlop = 2;

// Cursor resource identifiers (resources/resource.h).
constexpr int kCursorDragging = 121;
constexpr int kCursorMovingWindow = 122;
constexpr int kCursorOpenHand = 123;
constexpr int kCursorPointingHand = 124;

// Whether (x, y) lies more than kClickSlop pixels from the press point in x or
// in y. The coordinates are the unsigned 16-bit values of the message.
bool BeyondClick(grid::Point press, std::uint32_t x, std::uint32_t y);

enum class MoveAction {
  kBeginDrag,  // the pressed item starts to travel with the pointer
  kMoveDrag,   // the drag image follows the pointer
  kHover,      // highlight the cell under the pointer and show its label
};
MoveAction OnMove(std::int32_t dragState, bool beyondClick);

enum class ReleaseAction {
  kLaunch,         // a click, or a release without a press: start the item there
  kDropElsewhere,  // the dragged item moves to, or swaps with, the release cell
  kDropOnItself,   // dragged back onto its own cell: nothing changes
  kNothing,        // the end of a cancelled press: nothing starts or moves
};
ReleaseAction OnRelease(std::int32_t dragState, std::int32_t releaseKey, std::int32_t sourceKey);

// The pointer shape after a press, while hovering and after a release, by
// whether the cell under the pointer holds an item. After a release the rule
// is the reverse of the hover rule; the next move puts the hover rule back.
int CursorAfterPress(bool onItem);
int CursorWhileHovering(bool onItem);
int CursorAfterRelease(bool onItem);

// The rectangle a pressed pointer is held in: the window rectangle with each
// side moved inward by an eighth of the cell size.
grid::Rect Confinement(const grid::Rect& window, int cellSize);

}  // namespace pointer
