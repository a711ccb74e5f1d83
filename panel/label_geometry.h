// Arithmetic of the hover label: its framed text, its size around the
// measured text, its place below a cell and keeping it on the desktop. No
// window system here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "panel/grid_geometry.h"

namespace label {

// The label's text buffer, terminator included.
constexpr std::size_t kTextBufferSize = 260;

// Where the text is drawn inside the label, and how much larger than the
// measured text the label is: 4 pixels before the text on the left and the
// top, 8 after it on the right and 4 below it.
constexpr int kTextX = 4;
constexpr int kTextY = 4;
constexpr int kExtraWidth = 12;
constexpr int kExtraHeight = 8;

// Writes " title " into `out` (outSize bytes, at least 3). A title too long for
// the buffer is cut first, never inside a double-byte character. Returns the
// length written, without the terminator.
std::size_t FrameTitle(char* out, std::size_t outSize, const char* title);

// The label's rectangle for a text of textWidth x textHeight pixels: its top
// at `top`, and its left edge (w + 8) / 2 pixels left of `centreX`, so that the
// middle of the w + 12 wide label lies 2 pixels right of `centreX`.
grid::Rect PlaceBelow(std::int32_t centreX, std::int32_t top, std::int32_t textWidth,
                      std::int32_t textHeight);

// Shifts the label onto the desktop without changing its size, testing the
// right, bottom, left and top edges in that order: a label wider than the
// desktop ends with its left edge on the desktop's left edge.
grid::Rect KeepOnScreen(grid::Rect labelRect, const grid::Rect& desktop);

}  // namespace label
