#include "tests/win/message_boxes.h"

#include <algorithm>

#include "tests/win/test_util.h"

namespace {

thread_local MessageBoxAnswerer* current = nullptr;

bool IsDialogWindow(HWND window) {
  wchar_t name[16] = {};
  return GetClassNameW(window, name, 16) > 0 && lstrcmpW(name, L"#32770") == 0;
}

std::string TextOf(HWND window) {
  return testutil::WindowText(window);
}

std::string MessageOf(HWND box) {
  return testutil::ItemText(box, 0xFFFF);
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(int defaultAnswer)
    : defaultAnswer_(defaultAnswer), previous_(current) {
  current = this;
  hook_ = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  current = previous_;
}

void MessageBoxAnswerer::QueueAnswer(int answer) {
  queued_.push_back(answer);
}

bool MessageBoxAnswerer::WaitForBoxes(std::size_t count, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (seen_.size() < count) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

void MessageBoxAnswerer::Answer(HWND box) {
  if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) return;
  if (std::find(left_.begin(), left_.end(), TextOf(box)) != left_.end()) return;
  SeenBox seen;
  seen.text = MessageOf(box);
  seen.caption = TextOf(box);
  seen.owner = GetWindow(box, GW_OWNER);
  seen.answer = defaultAnswer_;
  if (!queued_.empty()) {
    seen.answer = queued_.front();
    queued_.pop_front();
  }
  answered_.push_back(box);
  seen_.push_back(seen);
  // Posted, so that the box's own modal loop takes it once it runs.
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(seen.answer, BN_CLICKED), 0);
}

LRESULT CALLBACK MessageBoxAnswerer::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  MessageBoxAnswerer* self = current;
  if (self != nullptr && code >= 0) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && IsDialogWindow(window)) {
      self->Answer(window);
    } else if (code == HCBT_DESTROYWND) {
      auto& a = self->answered_;
      a.erase(std::remove(a.begin(), a.end(), window), a.end());
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
