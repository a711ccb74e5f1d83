#include "tests/win/menu_driver.h"

#include <map>

#include "tests/win/test_util.h"

namespace {

thread_local MenuDriver* currentMenus = nullptr;
thread_local std::map<UINT_PTR, WhenDialogOpens*> dialogWatchers;

struct Search {
  const char* className;
  const char* caption;
  HWND except;
  HWND found;
};

BOOL CALLBACK Match(HWND w, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  wchar_t name[64] = L"";
  GetClassNameW(w, name, 64);
  if (w == s->except || !IsWindowVisible(w) || testutil::Cp932(name) != s->className) return TRUE;
  if (s->caption != nullptr && testutil::WindowText(w) != s->caption) return TRUE;
  s->found = w;
  return FALSE;
}

// Types one key into the open menu: its loop takes every keyboard message of
// the thread. A letter or Return arrives as the character that a key press
// gives, the other keys as the key press itself.
void Press(HWND menuWindow, WORD key) {
  if ((key >= 'A' && key <= 'Z') || key == VK_RETURN) {
    PostMessageW(menuWindow, WM_CHAR, key == VK_RETURN ? '\r' : key, 1);
  } else {
    PostMessageW(menuWindow, WM_KEYDOWN, key, 1);
    PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000001);
  }
}

}  // namespace

HWND FindThreadWindow(const char* className, const char* caption, HWND except) {
  Search s = {className, caption, except, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), Match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

void Drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

MenuDriver::MenuDriver() {
  currentMenus = this;
  timer_ = SetTimer(nullptr, 0, 20, Tick);
}

MenuDriver::~MenuDriver() {
  KillTimer(nullptr, timer_);
  currentMenus = nullptr;
}

bool MenuDriver::WaitForMenus(std::size_t count, DWORD timeoutMs) {
  return testutil::PumpUntil([&] { return seen_.size() >= count; }, timeoutMs);
}

void CALLBACK MenuDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (currentMenus != nullptr) currentMenus->Check();
}

void MenuDriver::Check() {
  HWND menuWindow = FindThreadWindow("#32768", nullptr);
  if (menuWindow == nullptr) {
    handled_ = nullptr;
    return;
  }
  if (menuWindow == handled_) {
    // A menu that ignored its keys must not hang the test: end it.
    if (GetTickCount() - handledAt_ > 3000) {
      stuck_ = true;
      EndMenu();
    }
    return;
  }
  handled_ = menuWindow;
  handledAt_ = GetTickCount();
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  SeenMenu seen;
  GetWindowRect(menuWindow, &seen.rect);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t wide[128] = L"";
    GetMenuStringW(menu, static_cast<UINT>(i), wide, 128, MF_BYPOSITION);
    const std::string text = testutil::Cp932(wide);
    seen.ids.push_back(GetMenuItemID(menu, i) == static_cast<UINT>(-1) ? 0
                                                                       : GetMenuItemID(menu, i));
    seen.texts.push_back(text);
  }
  seen_.push_back(seen);
  std::vector<WORD> keys = {VK_ESCAPE};
  if (!queued_.empty()) {
    keys = queued_.front();
    queued_.pop_front();
  }
  for (WORD key : keys) Press(menuWindow, key);
}

WhenDialogOpens::WhenDialogOpens(std::string caption, std::function<void(HWND)> script, HWND except)
    : caption_(std::move(caption)), script_(std::move(script)), except_(except) {
  timer_ = SetTimer(nullptr, 0, 20, Tick);
  dialogWatchers[timer_] = this;
}

WhenDialogOpens::~WhenDialogOpens() {
  KillTimer(nullptr, timer_);
  dialogWatchers.erase(timer_);
}

void CALLBACK WhenDialogOpens::Tick(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = dialogWatchers.find(id);
  if (it == dialogWatchers.end()) return;
  WhenDialogOpens* self = it->second;
  if (self->ran_) return;
  const char* caption = self->caption_.empty() ? nullptr : self->caption_.c_str();
  HWND dialog = FindThreadWindow("#32770", caption, self->except_);
  if (dialog == nullptr) return;
  self->ran_ = true;  // before the script, which runs modal loops of its own
  self->script_(dialog);
}
