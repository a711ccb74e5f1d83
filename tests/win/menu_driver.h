// Answers the popup menus and dialogs that the program opens on this thread,
// as a user would, from a thread timer (every modal loop dispatches it).
//
//   MenuDriver menus;
//   menus.Queue({'E'});                       // the next menu: the mnemonic E
//   SendMessageA(main, 2024, 1, WM_RBUTTONDOWN);
//   ASSERT_TRUE(menus.WaitForMenus(1));
//   EXPECT_EQ(menus.Seen()[0].texts[0], "最大化(&M)");
//
// A menu without queued keys is dismissed with Escape. Keys are virtual-key
// codes; a letter ('A' to 'Z') is typed as its character, the menu's mnemonic.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

struct SeenMenu {
  std::vector<UINT> ids;           // by position; 0 for a separator
  std::vector<std::string> texts;  // by position
  RECT rect = {};                  // the menu window on the screen
  std::string Row(std::size_t i) const { return i < texts.size() ? texts[i] : "<none>"; }
};

class MenuDriver {
 public:
  MenuDriver();
  ~MenuDriver();
  MenuDriver(const MenuDriver&) = delete;
  MenuDriver& operator=(const MenuDriver&) = delete;

  void Queue(std::vector<WORD> keys) { queued_.push_back(std::move(keys)); }
  const std::vector<SeenMenu>& Seen() const { return seen_; }
  // Pumps this thread's messages until `count` menus have been seen.
  bool WaitForMenus(std::size_t count, DWORD timeoutMs = 5000);
  // True when a menu stayed open 3 s after its keys and had to be ended.
  bool Stuck() const { return stuck_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Check();

  UINT_PTR timer_ = 0;
  HWND handled_ = nullptr;
  DWORD handledAt_ = 0;
  bool stuck_ = false;
  std::deque<std::vector<WORD>> queued_;
  std::vector<SeenMenu> seen_;
};

// Runs `script` once, from inside the modal loop, when a visible dialog with
// `caption` (any caption when empty) is open on this thread.
class WhenDialogOpens {
 public:
  // A dialog `except` (one already open) does not count.
  WhenDialogOpens(std::string caption, std::function<void(HWND)> script, HWND except = nullptr);
  ~WhenDialogOpens();
  WhenDialogOpens(const WhenDialogOpens&) = delete;
  WhenDialogOpens& operator=(const WhenDialogOpens&) = delete;
  bool Ran() const { return ran_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  UINT_PTR timer_ = 0;
  std::string caption_;
  std::function<void(HWND)> script_;
  HWND except_;
  bool ran_ = false;
};

// The visible window of `className` (and `caption`, unless null) that this
// thread owns, other than `except`, or null.
HWND FindThreadWindow(const char* className, const char* caption, HWND except = nullptr);

// Dispatches everything already queued, and whatever that posts, until the
// queue is empty.
void Drain();
