#include "panel/label_geometry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using grid::Rect;

std::string Show(const Rect& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

TEST(LabelGeometry, FrameTitleAddsOneBlankEachSideAndCutsWithinTheBuffer) {
  const std::string sjisA = "\x82\xa0";  // あ, a double-byte character
  struct Case {
    const char* what;
    std::string title;
    std::size_t outSize;
    std::string expected;
  } cases[] = {
      {"empty title", "", 260, "  "},
      {"plain title", "Editor", 260, " Editor "},
      {"Japanese title", "\x83\x81\x83\x82", 260, " \x83\x81\x83\x82 "},
      {"longest item title", std::string(127, 'a'), 260, " " + std::string(127, 'a') + " "},
      {"title that fills the buffer", std::string(257, 'b'), 260,
       " " + std::string(257, 'b') + " "},
      {"title one byte too long", std::string(258, 'c'), 260, " " + std::string(257, 'c') + " "},
      {"double-byte character across the limit", std::string(256, 'd') + sjisA, 260,
       " " + std::string(256, 'd') + " "},
      {"double-byte character just fitting", std::string(255, 'e') + sjisA + "z", 260,
       " " + std::string(255, 'e') + sjisA + " "},
      {"room for the blanks only", "xyz", 3, "  "},
      {"no room for the blanks", "xyz", 2, ""},
  };
  for (const Case& c : cases) {
    char out[300];
    std::memset(out, 'X', sizeof out);
    const std::size_t n = label::FrameTitle(out, c.outSize, c.title.c_str());
    EXPECT_EQ(std::string(out), c.expected) << c.what;
    EXPECT_EQ(n, c.expected.size()) << c.what;
    EXPECT_EQ(out[c.outSize], 'X') << c.what << ": wrote past the buffer";
  }
}

TEST(LabelGeometry, PlaceBelowCentresTwoPixelsRightOfTheCentre) {
  struct Case {
    int centreX, top, w, h;
    Rect expected;
  } cases[] = {
      {100, 50, 40, 16, {76, 50, 128, 74}},
      {100, 50, 41, 16, {76, 50, 129, 74}},  // (41 + 8) / 2 truncates to 24
      {0, 0, 0, 0, {-4, 0, 8, 8}},           // empty text: edge and margin only
      {-500, -20, 30, 12, {-519, -20, -477, 0}},
  };
  for (const Case& c : cases) {
    const Rect r = label::PlaceBelow(c.centreX, c.top, c.w, c.h);
    EXPECT_TRUE(r == c.expected) << "got " << Show(r) << " for centre " << c.centreX << " top "
                                 << c.top << " text " << c.w << "x" << c.h;
  }
}

TEST(LabelGeometry, KeepOnScreenShiftsWithoutResizing) {
  const Rect desktop{0, 0, 1280, 1024};
  struct Case {
    const char* what;
    Rect desktop, labelRect, expected;
  } cases[] = {
      {"inside", desktop, {100, 100, 180, 124}, {100, 100, 180, 124}},
      {"touching the corner", desktop, {1200, 1000, 1280, 1024}, {1200, 1000, 1280, 1024}},
      {"past the right edge ends flush", desktop, {1250, 100, 1330, 124}, {1200, 100, 1280, 124}},
      {"below the bottom ends flush above",
       desktop,
       {100, 1010, 180, 1034},
       {100, 1000, 180, 1024}},
      {"past both", desktop, {1270, 1020, 1350, 1044}, {1200, 1000, 1280, 1024}},
      {"wider than the desktop keeps the left edge",
       desktop,
       {900, 10, 2400, 34},
       {0, 10, 1500, 34}},
      {"left of the desktop", desktop, {-30, 10, 50, 34}, {0, 10, 80, 34}},
      {"above the desktop", desktop, {10, -30, 90, -6}, {10, 0, 90, 24}},
      {"desktop at negative coordinates",
       {-1920, -200, 0, 880},
       {-1950, -210, -1870, -186},
       {-1920, -200, -1840, -176}},
      {"negative label on a negative desktop, inside",
       {-1920, -200, 0, 880},
       {-100, -50, -20, -26},
       {-100, -50, -20, -26}},
  };
  for (const Case& c : cases) {
    const Rect r = label::KeepOnScreen(c.labelRect, c.desktop);
    EXPECT_TRUE(r == c.expected) << c.what << ": got " << Show(r);
    EXPECT_EQ(r.Width(), c.labelRect.Width()) << c.what;
    EXPECT_EQ(r.Height(), c.labelRect.Height()) << c.what;
  }
}

}  // namespace
