#include "panel/screen_choice.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using grid::Rect;

std::string Show(const Rect& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

const Rect kPrimary{0, 0, 1280, 1024};
const Rect kRight{1280, 0, 2560, 1024};      // beside the primary screen
const Rect kAbove{0, -768, 1024, 0};         // above it, narrower
const Rect kLeftLower{-1920, 200, 0, 1280};  // left of it, lower down
const Rect kFallback{1, 2, 3, 4};

TEST(ScreenChoice, LargestSharedAreaThenNearestThenFirst) {
  struct Case {
    const char* what;
    Rect window;
    std::vector<Rect> screens;
    Rect expected;
  } cases[] = {
      {"no screens listed", {10, 10, 20, 20}, {}, kFallback},
      {"one screen, window inside", {78, 143, 342, 343}, {kPrimary}, kPrimary},
      {"one screen, window far off it", {5000, 5000, 5100, 5100}, {kPrimary}, kPrimary},
      {"side by side, inside the second", {1400, 100, 1600, 300}, {kPrimary, kRight}, kRight},
      {"side by side, across the border, more on the first",
       {1180, 100, 1380 - 1, 300},
       {kPrimary, kRight},
       kPrimary},
      {"side by side, across the border, more on the second",
       {1180 + 1, 100, 1380, 300},
       {kPrimary, kRight},
       kRight},
      {"side by side, exactly half on each: the first listed",
       {1180, 100, 1380, 300},
       {kPrimary, kRight},
       kPrimary},
      {"one above the other, mostly above", {100, -300, 300, 100}, {kPrimary, kAbove}, kAbove},
      {"one above the other, mostly below", {100, -100, 300, 300}, {kPrimary, kAbove}, kPrimary},
      {"touching the border from outside shares nothing",
       {1280, 0, 1380, 100},
       {kPrimary},
       kPrimary},
      {"vanished screen to the right: the nearest",
       {2700, 100, 2900, 300},
       {kPrimary, kAbove, kLeftLower},
       kPrimary},
      {"vanished screen high above: the nearest",
       {-200, -2000, -100, -1900},
       {kPrimary, kAbove, kLeftLower},
       kAbove},
      {"vanished screen below the left one",
       {-1000, 1500, -800, 1600},
       {kPrimary, kAbove, kLeftLower},
       kLeftLower},
      {"empty window on the second screen", {1500, 500, 1500, 500}, {kPrimary, kRight}, kRight},
      {"inverted window (right < left) near the second",
       {2700, 10, 2600, 20},
       {kPrimary, kRight},
       kRight},
      {"extreme coordinates from a damaged file",
       {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
       {kLeftLower, kPrimary},
       kLeftLower},
      {"extreme corner far from every screen",
       {INT_MAX - 1, INT_MIN, INT_MAX, INT_MIN + 1},
       {kLeftLower, kAbove, kRight},
       kRight},
  };
  for (const Case& c : cases) {
    const Rect got = screens::ScreenFor(c.window, c.screens, kFallback);
    EXPECT_EQ(got, c.expected) << c.what << ": window " << Show(c.window) << " got " << Show(got);
  }
}

}  // namespace
