// The pointer over the panel: a press on an item holds the pointer in the
// window, a click starts the item, a drag carries the item's image to another
// cell (moving it there or swapping it with the item there), a press on an
// empty cell moves the whole window, and hovering highlights the cell under
// the pointer and shows its item's title in the hover label.
#include "panel/cursor_table.h"
#include "panel/grid_geometry.h"
#include "panel/launcher_panel.h"
#include "panel/pointer_rules.h"

namespace {

// One per process, like the pointer itself: cell 0 counts as highlighted at
// start, so the first move over it draws nothing.
std::int32_t g_hotKey = 0;

// The system command that moves a window by its caption; the system then
// moves the window with the pointer until the button is released.
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;

}  // namespace

// A missing cursor leaves the pointer without an image. The cursors are loaded
// at the first use, not at every start.
void LauncherPanel::SetPointerShape(std::int32_t cursorId) const {
  SetCursor(PanelCursor(instance, cursorId));
}

// The label window is made when the first title is shown: a panel that is
// never hovered needs none, nor its timer.
void LauncherPanel::ShowLabel(const char* title, int centreX, int top) {
  if (label.window == nullptr) label.Create("NuboToolTip");
  label.ShowText(title, centreX, top);
}

std::int32_t& HotKey() {
  return g_hotKey;
}

void LauncherPanel::PressAt(std::uint32_t x, std::uint32_t y) {
  label.Hide();
  const std::int32_t key = grid::CellKeyAt(x, y, CellSize());
  const bool onItem = items.HasKey(key) == 1;
  if (!onItem) {
    if (DragState == pointer::kCancelled) DragState = pointer::kIdle;
    PostMessageW(window, WM_SYSCOMMAND, kMoveByCaption, 0);
    SetPointerShape(pointer::CursorAfterPress(false));
    return;
  }
  // A drag whose release went unseen (over the frame) leaves its image first.
  if (DragState == pointer::kDragging) EndDragImage();
  PressPoint = {static_cast<LONG>(x), static_cast<LONG>(y)};
  DragState = pointer::kPressed;
  DragSourceKey = key;
  RECT r = {};
  GetWindowRect(window, &r);
  const grid::Rect held = pointer::Confinement({r.left, r.top, r.right, r.bottom}, CellSize());
  const RECT clip = {held.left, held.top, held.right, held.bottom};
  SetPointerShape(pointer::CursorAfterPress(true));
  ClipCursor(&clip);
}

void LauncherPanel::PointerMovedTo(std::uint32_t x, std::uint32_t y) {
  const bool beyond = pointer::BeyondClick({PressPoint.x, PressPoint.y}, x, y);
  switch (pointer::OnMove(DragState, beyond)) {
    case pointer::MoveAction::kBeginDrag:
      BeginDrag(x, y);
      break;
    case pointer::MoveAction::kMoveDrag:
      ImageList_DragMove(static_cast<int>(x), static_cast<int>(y));
      break;
    case pointer::MoveAction::kHover:
      HoverAt(x, y);
      return;
  }
  SetPointerShape(pointer::kCursorDragging);
}

void LauncherPanel::BeginDrag(std::uint32_t x, std::uint32_t y) {
  DragState = pointer::kDragging;
  // The item may have been deleted through the menu while the button was held:
  // then there is nothing to show and the release changes nothing.
  int index = 0;
  if (!items.IndexOfKey(DragSourceKey, &index)) return;
  const int half = CellSize() / 2;
  EnsureIcon(index);  // a waiting icon is extracted before the drag shows it
  ImageList_BeginDrag(ImageList.get(), index, half, half);
  dragImageShown_ = ImageList_DragEnter(window, static_cast<int>(x), static_cast<int>(y)) != 0;
}

void LauncherPanel::EndDragImage() {
  dragImageShown_ = false;
  ImageList_DragLeave(window);
  ImageList_EndDrag();
}

void LauncherPanel::HoverAt(std::uint32_t x, std::uint32_t y) {
  const int c = CellSize();
  const std::int32_t key = grid::CellKeyAt(x, y, c);
  if (key != g_hotKey) {
    {
      platform::WindowDc dc(window);
      PaintItemCell(dc.get(), g_hotKey, 1);
      PaintItemCell(dc.get(), key, 0);
    }
    g_hotKey = key;
    char title[260] = {};
    items.GetTitle(key, title);
    if (title[0] != '\0') {
      const grid::Point corner = grid::CellOrigin(key, c);
      POINT p = {corner.x, corner.y};
      ClientToScreen(window, &p);
      ShowLabel(title, p.x + c / 2, p.y + c + 4);
    } else {
      label.Hide();
    }
  }
  SetPointerShape(pointer::CursorWhileHovering(items.HasKey(key) == 1));
}

void LauncherPanel::ReleaseAt(std::uint32_t x, std::uint32_t y) {
  ClipCursor(nullptr);
  const std::int32_t key = grid::CellKeyAt(x, y, CellSize());
  bool stored = true;
  switch (pointer::OnRelease(DragState, key, DragSourceKey)) {
    case pointer::ReleaseAction::kLaunch:
      LaunchAt(key);
      break;
    case pointer::ReleaseAction::kDropElsewhere:
      EndDragImage();
      stored = DropDraggedItem(key);
      break;
    case pointer::ReleaseAction::kDropOnItself:
      EndDragImage();
      InvalidateRect(window, nullptr, FALSE);
      break;
    case pointer::ReleaseAction::kNothing:
      break;
  }
  DragState = pointer::kIdle;
  DragSourceKey = grid::kNoCell;
  SetPointerShape(pointer::CursorAfterRelease(items.HasKey(key) == 1));
  // Told once the drag is over: the box runs a loop of its own.
  if (!stored) WarnItemNotStored();
}

// Moves the dragged item to `key`, or swaps it with the item there. Both are
// written to the item file at once; the record order stays, so the image list
// stays valid. False when the file did not take the change: then nothing
// moved, and the item shows where it was.
bool LauncherPanel::DropDraggedItem(std::int32_t key) {
  if (!items.HasKey(DragSourceKey)) return true;
  platform::WindowDc dc(window);
  const bool swap = items.HasKey(key) == 1;
  const bool stored =
      (swap ? items.SwapKeys(DragSourceKey, key) : items.MoveKey(DragSourceKey, key)) == 1;
  if (stored && !swap) {
    PaintCellBackground(dc.get(), DragSourceKey);
  } else {
    PaintItemCell(dc.get(), DragSourceKey, 1);
  }
  PaintItemCell(dc.get(), key, 1);
  return stored;
}

// A menu is about to take the input: a press or drag of an item ends here,
// the pointer free and nothing moved. The button may still be down when the
// menu closes; its release then ends the cancelled press and starts nothing.
void LauncherPanel::EndPress() {
  if (DragState != pointer::kPressed && DragState != pointer::kDragging) return;
  ClipCursor(nullptr);
  if (DragState == pointer::kDragging) {
    EndDragImage();
    InvalidateRect(window, nullptr, FALSE);
  }
  DragState = pointer::kCancelled;
  DragSourceKey = grid::kNoCell;
}

void LauncherPanel::SetContextCell(std::uint32_t x, std::uint32_t y) {
  ContextKey = grid::CellKeyAt(x, y, CellSize());
}

int LauncherPanel::HasItemAt(std::uint32_t x, std::uint32_t y) const {
  return items.HasKey(grid::CellKeyAt(x, y, CellSize()));
}
