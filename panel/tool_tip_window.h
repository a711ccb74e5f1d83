// The hover label: a borderless popup that shows an item's title just below
// its cell, framed by a raised edge, and hides itself again after one to two
// ticks of its one-second timer.
//
// A plain record held by value in the panel, which clears it with memset and
// sets `instance` and `owner` before calling Create.
#pragma once

#include <windows.h>

#include <cstdint>

struct ToolTipWindow {
  // Registers the label window class under `className` (a class this module
  // registered before counts as registered) and creates the hidden label
  // window, owned by `owner`. Returns the window, which is also stored in
  // `window`, or null when either step fails.
  HWND Create(const char* className);

  // Stops the timer and destroys the window. Does nothing when there is no
  // window, also after the owner's destruction took the label with it.
  void Destroy();

  // Moves the label, keeping its size, so that it lies inside the desktop.
  void KeepOnScreen();

  // Shows " title " in a label just large enough for it (12 pixels wider and
  // 8 taller than the text), its top at `top` and centred 2 pixels right of
  // `centreX` (screen coordinates), kept on the desktop. Restarts the display
  // time. A title too long for the text buffer is cut. The label is shown
  // without being activated.
  void ShowText(const char* title, int centreX, int top);

  // Hides the label and restarts the tick count.
  void Hide();

  HINSTANCE instance;
  HWND owner;
  HWND window;
  char text[260];
  // Timer ticks since the label was last shown or hidden by the panel.
  std::int16_t ticks;
};

// The label's timer: it runs from creation to destruction, shown or not.
constexpr UINT_PTR kToolTipTimerId = 5000;
constexpr UINT kToolTipTimerPeriod = 1000;

LRESULT CALLBACK ToolTipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
