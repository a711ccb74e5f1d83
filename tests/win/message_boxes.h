// Answers modal message boxes inside the test process and records them.
//
// While a MessageBoxAnswerer lives, every dialog of the class "#32770" that
// becomes active on the thread that made the answerer is recorded (text,
// caption, owner) and closed with a button: IDOK unless answers were queued.
// Recording happens when the box is activated, before it runs its modal loop,
// and the box closes as soon as that loop takes the posted command, so code
// that calls MessageBoxA directly has its answer when the call returns:
//
//   MessageBoxAnswerer boxes;
//   EXPECT_EQ(LoadWallpaper(image, settings, owner, "missing.bmp"), 0);
//   ASSERT_EQ(boxes.Seen().size(), 1u);
//   EXPECT_EQ(boxes.Seen()[0].caption, "Error");
//
// When the box comes from code that runs inside a message loop (a timer, a
// posted message, a window shown later), pump with WaitForBoxes, which has a
// deadline.
//
// Dialogs made from resource templates are "#32770" windows too, so the
// answerer closes them as well (with the queued or default button): keep it
// out of the scope of a test that drives such a dialog itself.
//
// Texts are the ANSI bytes the box shows (code page 932), so they compare
// equal to the program's own literals. One answerer per thread at a time;
// not copyable.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

struct SeenBox {
  std::string text;     // the message (the static control 0xFFFF)
  std::string caption;  // the window title
  HWND owner = nullptr;
  bool topmost = false;
  int answer = 0;  // the button that closed it
};

class MessageBoxAnswerer {
 public:
  // Closes every box with `defaultAnswer` (IDOK, IDCANCEL, IDYES, ...) unless
  // an answer was queued.
  explicit MessageBoxAnswerer(int defaultAnswer = IDOK);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  // The next box is closed with `answer`; queued answers are used in order.
  void QueueAnswer(int answer);

  // Dialogs with this caption are neither recorded nor closed: the test
  // drives them itself.
  void Leave(const std::string& caption) { left_.push_back(caption); }

  // The boxes seen so far, oldest first.
  const std::vector<SeenBox>& Seen() const { return seen_; }
  void Clear() { seen_.clear(); }

  // Runs this thread's message loop until `count` boxes have been seen in
  // all, or `timeoutMs` has passed; true when the count was reached.
  bool WaitForBoxes(std::size_t count, DWORD timeoutMs = 5000);

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  void Answer(HWND box);

  int defaultAnswer_;
  std::deque<int> queued_;
  std::vector<SeenBox> seen_;
  std::vector<HWND> answered_;  // boxes still open that have been answered
  std::vector<std::string> left_;
  HHOOK hook_ = nullptr;
  MessageBoxAnswerer* previous_ = nullptr;
};
