// The hover label as a real window under Wine: class and window styles,
// sizing around its text, keeping on the desktop, its timer and its painting.
#include "panel/tool_tip_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "panel/label_geometry.h"

namespace {

// Dispatches this thread's messages until `done` or `ms` milliseconds passed.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

RECT WindowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

std::string Show(const RECT& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

SIZE TextExtent(HWND window, const char* text) {
  SIZE size = {};
  HDC dc = GetDC(window);
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  ReleaseDC(window, dc);
  return size;
}

class ToolTipWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    label = ToolTipWindow{};
    label.instance = GetModuleHandleA(nullptr);
  }
  void TearDown() override { label.Destroy(); }

  HWND CreateLabel() {
    HWND window = label.Create("NuboToolTip");
    EXPECT_NE(window, nullptr) << "error " << GetLastError();
    return window;
  }

  ToolTipWindow label;
};

TEST_F(ToolTipWindowTest, CreateGivesAHiddenPopupOfTheLabelClass) {
  HWND window = CreateLabel();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(label.window, window);
  EXPECT_FALSE(IsWindowVisible(window));

  WNDCLASSA wc = {};
  ASSERT_TRUE(GetClassInfoA(label.instance, "NuboToolTip", &wc));
  EXPECT_EQ(wc.style, 0x3080u);
  EXPECT_EQ(wc.cbClsExtra, 0);
  EXPECT_EQ(wc.cbWndExtra, 4);
  EXPECT_EQ(wc.hIcon, nullptr);
  EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
  EXPECT_EQ(wc.hbrBackground, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(wc.lpszMenuName, nullptr);

  // The system adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
            static_cast<DWORD>(WS_POPUP | WS_CLIPSIBLINGS));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), 0x90u);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "NuboToolTip");
  const RECT r = WindowRect(window);
  EXPECT_EQ(r.right - r.left, 0) << Show(r);
  EXPECT_EQ(r.bottom - r.top, 0) << Show(r);
  // The whole pointer, also in a 64-bit build.
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&label));
}

TEST_F(ToolTipWindowTest, SecondLabelReusesTheRegisteredClassAndKeepsItsOwner) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  ASSERT_NE(CreateLabel(), nullptr);
  ToolTipWindow second{};
  second.instance = label.instance;
  second.owner = owner;
  HWND window = second.Create("NuboToolTip");
  ASSERT_NE(window, nullptr) << "error " << GetLastError();
  EXPECT_EQ(GetWindow(window, GW_OWNER), owner);
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&second));
  // The owner's destruction takes the label with it; Destroy then has nothing
  // left to do, however often it is called.
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(second.window, nullptr);
  second.Destroy();
  second.Destroy();
}

TEST_F(ToolTipWindowTest, CreateReportsAWindowThatCannotBeCreated) {
  label.owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ffe));  // no such window
  EXPECT_EQ(label.Create("NuboToolTip"), nullptr);
  EXPECT_EQ(label.window, nullptr);
}

TEST_F(ToolTipWindowTest, DestroyTwiceIsHarmless) {
  HWND window = CreateLabel();
  ASSERT_NE(window, nullptr);
  label.Destroy();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(label.window, nullptr);
  label.Destroy();
  EXPECT_EQ(label.window, nullptr);
}

TEST_F(ToolTipWindowTest, ShowTextSizesTheLabelAroundTheFramedText) {
  ASSERT_NE(CreateLabel(), nullptr);
  label.ticks = 1;
  label.ShowText("Editor", 400, 300);
  EXPECT_STREQ(label.text, " Editor ");
  EXPECT_TRUE(IsWindowVisible(label.window));
  EXPECT_EQ(label.ticks, 0);
  const SIZE text = TextExtent(label.window, " Editor ");
  ASSERT_GT(text.cx, 0);
  const RECT r = WindowRect(label.window);
  EXPECT_EQ(r.right - r.left, text.cx + 12) << Show(r);
  EXPECT_EQ(r.bottom - r.top, text.cy + 8) << Show(r);
  EXPECT_EQ(r.left, 400 - (text.cx + 8) / 2) << Show(r);
  EXPECT_EQ(r.top, 300) << Show(r);

  label.Hide();
  EXPECT_FALSE(IsWindowVisible(label.window));
  EXPECT_EQ(label.ticks, 0);

  // A title longer than the buffer is cut, not written past it.
  const std::string huge(400, 'n');
  label.ShowText(huge.c_str(), 400, 300);
  EXPECT_EQ(std::strlen(label.text), 259u);
}

TEST_F(ToolTipWindowTest, ShownLabelStaysOnTheDesktop) {
  ASSERT_NE(CreateLabel(), nullptr);
  const RECT d = WindowRect(GetDesktopWindow());
  const std::string wide(257, 'W');
  struct Case {
    const char* what;
    const char* title;
    int centreX, top;
  } cases[] = {
      {"past the right edge", "Editor", d.right - 5, 100},
      {"below the bottom edge", "Editor", 300, d.bottom - 5},
      {"past the bottom-right corner", "Editor", d.right - 5, d.bottom - 5},
      {"wider than the desktop", wide.c_str(), 300, 100},
      {"left of and above the desktop", "Editor", d.left - 40, d.top - 40},
  };
  for (const Case& c : cases) {
    label.ShowText(c.title, c.centreX, c.top);
    const SIZE text = TextExtent(label.window, label.text);
    const RECT r = WindowRect(label.window);
    const std::string got = std::string(c.what) + ": " + Show(r) + " on " + Show(d);
    EXPECT_EQ(r.right - r.left, text.cx + 12) << got;
    EXPECT_EQ(r.bottom - r.top, text.cy + 8) << got;
    EXPECT_GE(r.left, d.left) << got;
    EXPECT_GE(r.top, d.top) << got;
    if (r.right - r.left <= d.right - d.left) {
      EXPECT_LE(r.right, d.right) << got;
    }
    EXPECT_LE(r.bottom, d.bottom) << got;
  }
  // Flush with the edges it was pushed back from.
  label.ShowText("Editor", d.right - 5, d.bottom - 5);
  RECT r = WindowRect(label.window);
  EXPECT_EQ(r.right, d.right) << Show(r);
  EXPECT_EQ(r.bottom, d.bottom) << Show(r);
  label.ShowText(wide.c_str(), 300, 100);
  r = WindowRect(label.window);
  ASSERT_GT(r.right - r.left, d.right - d.left) << "the wide title must be wider than the desktop";
  EXPECT_EQ(r.left, d.left) << Show(r);
  EXPECT_GT(r.right, d.right) << Show(r);
}

TEST_F(ToolTipWindowTest, TimerTicksHideTheLabelOnEverySecondTick) {
  ASSERT_NE(CreateLabel(), nullptr);
  label.ShowText("Editor", 400, 300);
  struct Step {
    WPARAM timerId;
    int ticks;
    bool visible;
  } steps[] = {
      {kToolTipTimerId, 1, true},
      {kToolTipTimerId, 0, false},
      {kToolTipTimerId, 1, false},
      {7, 0, false},  // any identifier counts
  };
  int n = 0;
  for (const Step& s : steps) {
    ++n;
    EXPECT_EQ(SendMessageA(label.window, WM_TIMER, s.timerId, 0), 0);
    EXPECT_EQ(label.ticks, s.ticks) << "after tick " << n;
    EXPECT_EQ(IsWindowVisible(label.window) != FALSE, s.visible) << "after tick " << n;
  }
  EXPECT_EQ(SendMessageA(label.window, WM_COMMAND, 1, 0), 0);
}

TEST_F(ToolTipWindowTest, ShownLabelHidesAfterOneToTwoTimerPeriods) {
  ASSERT_NE(CreateLabel(), nullptr);
  // Let a first tick pass so that the show falls somewhere inside a period.
  PumpMessagesUntil([] { return false; }, 300);
  label.ShowText("Editor", 400, 300);
  const DWORD shown = GetTickCount();
  EXPECT_FALSE(PumpMessagesUntil([&] { return !IsWindowVisible(label.window); }, 900))
      << "hidden after " << GetTickCount() - shown << " ms";
  EXPECT_TRUE(PumpMessagesUntil([&] { return !IsWindowVisible(label.window); }, 1300))
      << "still visible after " << GetTickCount() - shown << " ms";
  EXPECT_EQ(label.ticks, 0);
}

// Colours of a visible window's pixels, read back from its device context.
class WindowPixels {
 public:
  explicit WindowPixels(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowPixels() { ReleaseDC(window_, dc_); }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y) & 0xFFFFFF; }
  // Pixels inside the rectangle that are not white.
  int NonWhite(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) != RGB(255, 255, 255);
    return n;
  }

 private:
  HWND window_;
  HDC dc_;
};

TEST_F(ToolTipWindowTest, EmptyTextPaintsOnlyTheRaisedEdge) {
  ASSERT_NE(CreateLabel(), nullptr);
  const int w = 60;
  const int h = 30;
  MoveWindow(label.window, 100, 100, w, h, TRUE);
  ShowWindow(label.window, SW_SHOWNOACTIVATE);
  InvalidateRect(label.window, nullptr, TRUE);
  UpdateWindow(label.window);
  {
    WindowPixels px(label.window);
    EXPECT_EQ(px.NonWhite(2, 2, w - 2, h - 2), 0) << "inside the edge";
    EXPECT_EQ(px.At(w - 1, h - 1), GetSysColor(COLOR_3DDKSHADOW) & 0xFFFFFF);
    EXPECT_EQ(px.At(w - 2, h / 2), GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
    EXPECT_EQ(px.At(0, h / 2), GetSysColor(COLOR_3DLIGHT) & 0xFFFFFF);
  }
  // The same window with a text does paint inside the edge.
  std::strcpy(label.text, " M ");
  InvalidateRect(label.window, nullptr, TRUE);
  UpdateWindow(label.window);
  WindowPixels px(label.window);
  EXPECT_GT(px.NonWhite(2, 2, w - 2, h - 2), 0);
}

}  // namespace
