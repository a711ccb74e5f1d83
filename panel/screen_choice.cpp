#include "panel/screen_choice.h"

#include <algorithm>
#include <cstdint>

namespace screens {

namespace {

// 64-bit throughout: a rectangle read from the settings file may hold any
// 32-bit values, and their differences and products do not fit 32 bits.
std::int64_t Overlap(std::int64_t lowA, std::int64_t highA, std::int64_t lowB, std::int64_t highB) {
  return std::max<std::int64_t>(0, std::min(highA, highB) - std::max(lowA, lowB));
}

std::int64_t Gap(std::int64_t lowA, std::int64_t highA, std::int64_t lowB, std::int64_t highB) {
  return std::max<std::int64_t>({0, lowB - highA, lowA - highB});
}

std::int64_t SharedArea(const grid::Rect& a, const grid::Rect& b) {
  return Overlap(a.left, a.right, b.left, b.right) * Overlap(a.top, a.bottom, b.top, b.bottom);
}

// Squared distance between the rectangles. Gaps reach 2^32, so their squares
// are summed as doubles rather than as 64-bit integers.
double Distance(const grid::Rect& a, const grid::Rect& b) {
  const auto dx = static_cast<double>(Gap(a.left, a.right, b.left, b.right));
  const auto dy = static_cast<double>(Gap(a.top, a.bottom, b.top, b.bottom));
  return dx * dx + dy * dy;
}

}  // namespace

grid::Rect ScreenFor(const grid::Rect& window, const std::vector<grid::Rect>& screens,
                     const grid::Rect& fallback) {
  if (screens.empty()) return fallback;
  const grid::Rect* best = &screens.front();
  std::int64_t bestArea = SharedArea(window, *best);
  for (const grid::Rect& s : screens) {
    const std::int64_t area = SharedArea(window, s);
    if (area > bestArea) {
      best = &s;
      bestArea = area;
    }
  }
  if (bestArea > 0) return *best;
  // On no screen at all (or no area to share): the nearest one.
  double bestDistance = Distance(window, *best);
  for (const grid::Rect& s : screens) {
    const double d = Distance(window, s);
    if (d < bestDistance) {
      best = &s;
      bestDistance = d;
    }
  }
  return *best;
}

}  // namespace screens
