// Pointer figures of the launcher under Wine, on the real application objects:
//  - time per pointer move into a new cell (two cells repainted, the label
//    placed and shown) at 10, 100 and 1,000 items, and the 1,000/10 ratio;
//  - the GDI and USER objects the program owns (counted by its own handle
//    owners, since Wine's GetGuiResources answers 0) and the process's kernel
//    handles, before and after 10,000 moves, 1,000 drags and 100 confirmed
//    settings dialogs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "resources/resource.h"
#include "tests/support/process_handles.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/test_util.h"

namespace {

const int kCell = 32;
const int kColumns = 40;
const int kRows = 25;

std::int32_t KeyOf(int i) {
  return (i / kColumns) * 128 + i % kColumns;
}

LPARAM CentreOf(std::int32_t key) {
  return MAKELPARAM((key % 128) * kCell + kCell / 2, (key / 128) * kCell + kCell / 2);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// A shown launcher with `count` items over a 40 x 25 cell grid.
class Launcher {
 public:
  explicit Launcher(int count) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    {
      ItemStore store;
      for (int i = 0; i < count; ++i) {
        store.Put(KeyOf(i), 0, ("item " + std::to_string(i)).c_str(), "C:\\none.exe", "C:\\", self);
      }
    }
    testutil::WriteIni("Nubotesa.ini", "Config",
                       {{"Bitmap", "0"}, {"Startup", "0"}, {"Small", "0"}});
    testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
    // The panel reads the settings file when it is constructed.
    app.reset(new LauncherApp);
    app->Start(GetModuleHandleA(nullptr));
    app->Panel().ToggleHidden();
    HWND w = app->MainWindow();
    RECT outer = {0, 0, kColumns * kCell, kRows * kCell};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE)));
    SetWindowPos(w, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
    Pump();
  }
  ~Launcher() {
    SendMessageA(app->MainWindow(), WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(3000);
    app.reset();
  }
  HWND window() { return app->MainWindow(); }

  ScopedTempDir dir;
  std::unique_ptr<LauncherApp> app;
};

// Microseconds per move, median of 5 rounds of `moves` moves over the items'
// cells in turn, each into a new cell.
double MicrosecondsPerMove(Launcher& l, int count, int moves) {
  std::vector<double> rounds;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < moves; ++i) {
      SendMessageA(l.window(), WM_MOUSEMOVE, 0, CentreOf(KeyOf((round + i) % count)));
      Pump();  // the label's repaint belongs to the move
    }
    rounds.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count() /
        moves);
  }
  std::sort(rounds.begin(), rounds.end());
  return rounds[rounds.size() / 2];
}

// Where the time of a move goes: the two cells, the label, the messages.
void Breakdown(Launcher& l, int count, int moves) {
  LauncherPanel& panel = l.app->Panel();
  double cells = 0, label = 0, pump = 0;
  for (int i = 0; i < moves; ++i) {
    const std::int32_t key = KeyOf(i % count), previous = KeyOf((i + count - 1) % count);
    auto t0 = std::chrono::steady_clock::now();
    {
      platform::WindowDc dc(l.window());
      panel.PaintItemCell(dc.get(), previous, 1);
      panel.PaintItemCell(dc.get(), key, 0);
    }
    auto t1 = std::chrono::steady_clock::now();
    panel.label.ShowText("item 1", 300, 300 + (i % 2) * 32);
    auto t2 = std::chrono::steady_clock::now();
    Pump();
    auto t3 = std::chrono::steady_clock::now();
    cells += std::chrono::duration<double, std::micro>(t1 - t0).count();
    label += std::chrono::duration<double, std::micro>(t2 - t1).count();
    pump += std::chrono::duration<double, std::micro>(t3 - t2).count();
  }
  std::printf("  of which: two cells %.1f us, label placed and shown %.1f us, messages %.1f us\n",
              cells / moves, label / moves, pump / moves);
}

struct Counts {
  int gdi, user, imageLists;
  long kernel;
};

Counts Now() {
  return {platform::LiveGdiObjects(), platform::LiveUserObjects(), platform::OwnedImageList::Live(),
          handles::CountHandles(GetCurrentProcessId())};
}

void Report(const char* what, const Counts& before, const Counts& after) {
  std::printf("  %-34s GDI %d -> %d, USER %d -> %d, image lists %d -> %d, kernel %ld -> %ld\n",
              what, before.gdi, after.gdi, before.user, after.user, before.imageLists,
              after.imageLists, before.kernel, after.kernel);
}

void Drag(HWND w, std::int32_t from, std::int32_t to) {
  const LPARAM a = CentreOf(from);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, a);
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(LOWORD(a) + 3, HIWORD(a)));
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, CentreOf(to));
  SendMessageA(w, WM_LBUTTONUP, 0, CentreOf(to));
  Pump();
}

int g_dialogs = 0;

// Confirms every settings dialog as soon as it is activated.
LRESULT CALLBACK ConfirmDialogs(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    char name[16] = "";
    GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0) {
      ++g_dialogs;
      PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int main() {
  SetCursorPos(1279, 1023);  // the real pointer stays off the panel
  std::printf("pointer moves into a new cell (median of 5 rounds)\n");
  double per10 = 0;
  for (int count : {10, 100, 1000}) {
    Launcher l(count);
    const double us = MicrosecondsPerMove(l, count, 2000);
    if (count == 10) per10 = us;
    if (count == 10) Breakdown(l, count, 500);
    std::printf("  %5d items  %8.1f us per move  (%.2fx the 10-item figure)\n", count, us,
                per10 > 0 ? us / per10 : 0);
    std::fflush(stdout);
  }

  std::printf("objects before and after (10 items)\n");
  Launcher l(10);
  Counts before = Now();
  MicrosecondsPerMove(l, 10, 2000);  // 5 rounds of 2,000: 10,000 moves
  Report("10,000 moves", before, Now());
  before = Now();
  for (int i = 0; i < 1000; ++i) Drag(l.window(), i % 2 == 0 ? 0 : 20, i % 2 == 0 ? 20 : 0);
  Report("1,000 drags", before, Now());
  HHOOK hook = SetWindowsHookExA(WH_CBT, ConfirmDialogs, nullptr, GetCurrentThreadId());
  before = Now();
  for (int i = 0; i < 100; ++i) SendMessageA(l.window(), WM_COMMAND, ID_PANEL_SETTINGS, 0);
  if (g_dialogs > 0) {
    Report("100 settings confirmations", before, Now());
  } else {
    std::printf("  100 settings confirmations: no settings dialog in this build\n");
  }
  UnhookWindowsHookEx(hook);
  return 0;
}
