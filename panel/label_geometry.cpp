#include "panel/label_geometry.h"

#include <cstring>

#include "platform/cp932.h"

namespace label {

std::size_t FrameTitle(char* out, std::size_t outSize, const char* title) {
  if (outSize < 3) {
    if (outSize > 0) out[0] = '\0';
    return 0;
  }
  // One blank on each side and the terminator.
  const std::size_t kept = platform::Cp932CutLength(title, outSize - 3);
  out[0] = ' ';
  std::memcpy(out + 1, title, kept);
  out[kept + 1] = ' ';
  out[kept + 2] = '\0';
  return kept + 2;
}

grid::Rect PlaceBelow(std::int32_t centreX, std::int32_t top, std::int32_t textWidth,
                      std::int32_t textHeight) {
  const std::int32_t left = centreX - (textWidth + 8) / 2;
  return {left, top, left + textWidth + kExtraWidth, top + textHeight + kExtraHeight};
}

grid::Rect KeepOnScreen(grid::Rect labelRect, const grid::Rect& desktop) {
  // The same rule that keeps the panel window on the desktop.
  return grid::KeepOnDesktop(labelRect, desktop);
}

}  // namespace label
