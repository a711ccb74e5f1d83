// Which screen a window belongs to on a desktop of several screens: the one
// that holds the largest part of it, or, when it lies on none, the nearest.
// Keep-on-screen, the snap's size tests and the hover label measure against
// that screen's whole rectangle (task bar included). No window system here.
#pragma once

#include <vector>

#include "panel/grid_geometry.h"

namespace screens {

// The rectangle in `screens` that shares the most area with `window`; when it
// shares none with any, the one at the shortest distance. Ties go to the
// earlier screen, so list the primary screen first. An empty list gives
// `fallback`. Safe for any coordinates, inverted rectangles included.
grid::Rect ScreenFor(const grid::Rect& window, const std::vector<grid::Rect>& screens,
                     const grid::Rect& fallback);

// Windows only (screen_choice_win.cpp): the screen for `window` among the
// attached monitors. With a single monitor it is the desktop window's
// rectangle, exactly as before there were several.
grid::Rect ScreenRectFor(const grid::Rect& window);

}  // namespace screens
