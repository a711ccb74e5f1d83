// Start-up of the real program, measured from outside: process creation to
// WaitForInputIdle (its message loop waits for input), against the floor
// program measured in the same run; working set at that moment; and the time
// until every icon is in the image list, measured inside a child process.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "bench/bench_util.h"
#include "bench/startup_bench.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/test_util.h"

namespace bench {

namespace {

struct Start {
  double ms = 0, workingSetKb = 0;
};

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(pid)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

bool StartOnce(const std::string& program, const std::string& dir, Start* out) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  std::string command = "\"" + program + "\"";
  const auto start = Clock::now();
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                      &pi)) {
    return false;
  }
  const DWORD idle = WaitForInputIdle(pi.hProcess, 120000);
  out->ms = MsSince(start);
  out->workingSetKb = WorkingSetKb(pi.hProcess);
  EnumWindows(CloseWindowsOf, static_cast<LPARAM>(pi.dwProcessId));
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return idle == 0;
}

const char* Verdict(bool met) {
  return met ? "met" : "NOT met";
}

}  // namespace

void PrintStartupFigures(const std::string& iconDir) {
  const std::string program = ModuleDir() + "shipped\\NuboTesa.exe";
  const std::string floorProgram = ModuleDir() + "shipped\\start_floor.exe";
  const int kRounds = 7;
  const struct {
    int items;
    double goal;  // times the floor
  } cases[] = {{0, 1.2}, {100, 1.2}, {1000, 1.5}, {10000, 2.0}};
  const int n = sizeof cases / sizeof cases[0];
  // One folder per case, prepared first; then rounds that start the floor and
  // every case in turn, so that a slower moment of the machine falls on all.
  std::vector<std::unique_ptr<ScopedTempDir>> dirs;
  for (const auto& c : cases) {
    dirs.emplace_back(new ScopedTempDir);
    WriteItemFile(c.items, iconDir, true);
    WriteLaterStartSettings();
  }
  std::vector<std::vector<double>> ms(n + 1), kb(n + 1);
  for (int round = -1; round < kRounds; ++round) {  // round -1 warms up
    for (int k = 0; k <= n; ++k) {
      Start s;
      const bool ok = k == 0 ? StartOnce(floorProgram, dirs[0]->Path(), &s)
                             : StartOnce(program, dirs[k - 1]->Path(), &s);
      if (!ok || round < 0) continue;
      ms[k].push_back(s.ms);
      kb[k].push_back(s.workingSetKb);
    }
  }
  while (!dirs.empty()) dirs.pop_back();  // each restores the folder before it
  std::printf(
      "start-up from outside: process creation to WaitForInputIdle, hidden start,\n"
      "median of %d rounds; items name distinct programs; both programs without\n"
      "debug information, as they ship\n",
      kRounds);
  const double floorMs = Median(ms[0]), floorKb = Median(kb[0]);
  std::printf("  %-28s %8.1f ms              working set %7.0f KB\n", "floor (window, tray, loop)",
              floorMs, floorKb);
  for (int k = 1; k <= n; ++k) {
    const auto& c = cases[k - 1];
    const double t = Median(ms[k]), w = Median(kb[k]);
    const double ratio = floorMs > 0 ? t / floorMs : 0;
    std::printf("  NuboTesa.exe, %5d items   %8.1f ms  %5.2fx floor", c.items, t, ratio);
    std::printf(" (goal <= %.1fx: %s)", c.goal, Verdict(ratio <= c.goal));
    std::printf("  working set %7.0f KB (floor + %.1f MB)", w, (w - floorKb) / 1024.0);
    if (c.items == 1000) {
      std::printf(" (goal <= floor + 4 MB: %s)", Verdict(w - floorKb <= 4096));
    }
    std::printf("\n");
  }
}

// Child: the application objects in the current folder; prints the time from
// the start to the last icon in the image list, and the working set then.
int RunAllIconsChild() {
  const auto start = Clock::now();
  double ready = 0, all = 0, workingSet = 0;
  // When the first and the last 1,000 icons came in, as milliseconds from the
  // start: a cost that grows with the count shows as a slower last thousand.
  double firstThousand = 0, lastThousandFrom = 0;
  {
    LauncherApp app;
    app.Start(GetModuleHandleA(nullptr));
    ready = MsSince(start);
    const int total = app.Panel().PendingIcons();
    // Counted after every message: the batches' timer keeps the queue from
    // ever running empty, so a check at an empty queue would come only at the end.
    MSG msg;
    while (app.Panel().PendingIcons() > 0 && MsSince(start) < 900000) {
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
      } else {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      }
      const int done = total - app.Panel().PendingIcons();
      if (firstThousand == 0 && done >= 1000) firstThousand = MsSince(start);
      if (lastThousandFrom == 0 && done >= total - 1000) lastThousandFrom = MsSince(start);
    }
    all = MsSince(start);
    workingSet = WorkingSetKb(GetCurrentProcess());
    SendMessageA(app.MainWindow(), WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(5000);
  }
  std::printf("%f %f %f %f %f\n", ready, all, workingSet, firstThousand - ready,
              all - lastThousandFrom);
  std::fflush(stdout);
  return 0;
}

namespace {

bool RunChild(const std::string& args, const std::string& dir, std::string* out) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi;
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = "\"" + std::string(self) + "\" " + args;
  const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      dir.c_str(), &si, &pi);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return false;
  }
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
    out->append(buffer, got);
  WaitForSingleObject(pi.hProcess, 600000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(readEnd);
  return true;
}

}  // namespace

void PrintAllIconsFigures(const std::string& iconDir) {
  std::printf(
      "all icons in the image list (one run each, inside the process), distinct programs\n");
  ScopedTempDir dir;
  double at1000 = 0;
  for (int items : {100, 1000, 10000}) {
    WriteItemFile(items, iconDir, true);
    WriteLaterStartSettings();
    std::string out;
    double ready = 0, all = 0, kb = 0, first = 0, last = 0;
    if (!RunChild("--icons", dir.Path(), &out) ||
        std::sscanf(out.c_str(), "%lf %lf %lf %lf %lf", &ready, &all, &kb, &first, &last) != 5) {
      std::printf("  %5d items: the child failed\n", items);
      continue;
    }
    std::printf(
        "  %5d items: ready after %8.1f ms, all icons after %9.1f ms (%.2f ms an icon), "
        "working set then %7.0f KB",
        items, ready, all, items > 0 ? (all - ready) / items : 0, kb);
    if (items == 1000) at1000 = all;
    if (items == 10000 && at1000 > 0) {
      std::printf(
          "\n    10000/1000 = %.1f (goal <= 12: %s); in this run the first 1,000 icons took "
          "%.0f ms, the last 1,000 %.0f ms",
          all / at1000, Verdict(all / at1000 <= 12), first, last);
    }
    std::printf("\n");
  }
}

}  // namespace bench
