// Start-up, memory and painting figures of the launcher under Wine, each
// against a baseline measured in the same run:
//  - time from process creation to the end of the panel's initialisation,
//    against a minimal program that creates one window (the floor);
//  - working set after start against the same minimal program, and the GDI
//    and USER objects the program holds, counted by its own handle owners;
//  - a full paint for 0, 100 and 1,000 items, with and without a 1,024 x 768
//    24-bit wallpaper.
// The driver runs the start-up cases in child processes of this program.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/test_util.h"

namespace {

const int kRuns = 7;

double SecondsSinceProcessStart() {
  FILETIME creation, exitTime, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &creation, &exitTime, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  auto ticks = [](FILETIME t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(now) - ticks(creation)) / 1e7;
}

double WorkingSetKb() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.WorkingSetSize) / 1024.0;
}

std::string ModulePath() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

void WriteItems(int count, const std::string& iconFile) {
  ItemStore store;
  for (int i = 0; i < count; ++i) {
    const int key = (i / 40) * 128 + i % 40;
    store.Put(key, 0, ("item " + std::to_string(i)).c_str(), iconFile.c_str(), "C:\\",
              iconFile.c_str());
  }
}

void PrepareLaterStart() {
  testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Startup", "0"}});
  testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}

// Child: the floor, one plain window.
int RunFloor() {
  WNDCLASSA wc = {};
  wc.lpszClassName = "BenchFloor";
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "BenchFloor", "floor", WS_POPUP | WS_THICKFRAME, 0, 0,
                           100, 100, nullptr, nullptr, wc.hInstance, nullptr);
  std::printf("%f %f 0 0\n", SecondsSinceProcessStart(), WorkingSetKb());
  std::fflush(stdout);
  DestroyWindow(w);
  return 0;
}

// Child: the real application objects with `items` items. The folder the
// program finds is prepared first; that is the benchmark's own work, so the
// figure is the time to the entry point plus the time of the start itself.
int RunStart(int items, double atEntry) {
  ScopedTempDir dir;
  WriteItems(items, ModulePath());
  PrepareLaterStart();
  double ready = 0, workingSet = 0;
  int gdi = 0, user = 0;
  {
    const double before = SecondsSinceProcessStart();
    LauncherApp app;
    app.Start(GetModuleHandleA(nullptr));
    ready = atEntry + SecondsSinceProcessStart() - before;
    workingSet = WorkingSetKb();
    gdi = platform::LiveGdiObjects();
    user = platform::LiveUserObjects() + platform::OwnedImageList::Live();
    SendMessageA(app.MainWindow(), WM_CLOSE, 0, 0);
    testutil::RunUntilQuit(2000);
  }
  std::printf("%f %f %d %d\n", ready, workingSet, gdi, user);
  std::fflush(stdout);
  return 0;
}

struct Sample {
  double seconds = 0, workingSetKb = 0;
  int gdi = 0, user = 0;
};

bool RunChild(const std::string& args, Sample* sample) {
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
  std::string command = "\"" + ModulePath() + "\" " + args;
  const BOOL started =
      CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return false;
  }
  std::string out;
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
    out.append(buffer, got);
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(readEnd);
  return std::sscanf(out.c_str(), "%lf %lf %d %d", &sample->seconds, &sample->workingSetKb,
                     &sample->gdi, &sample->user) == 4;
}

Sample Median(const std::string& args) {
  std::vector<Sample> samples;
  for (int i = 0; i < kRuns; ++i) {
    Sample s;
    if (RunChild(args, &s)) samples.push_back(s);
  }
  if (samples.empty()) return Sample{};
  std::sort(samples.begin(), samples.end(),
            [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
  return samples[samples.size() / 2];
}

double PaintMs(int items, bool wallpaper) {
  ScopedTempDir dir;
  WriteItems(items, ModulePath());
  testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", wallpaper ? "1" : "0"}});
  if (wallpaper) {
    std::vector<COLORREF> pixels(1024 * 768);
    for (int i = 0; i < 1024 * 768; ++i) pixels[i] = RGB(i % 256, (i / 1024) % 256, 128);
    WriteWholeFile(dir.File("wall.bmp"), testutil::Bmp24(1024, 768, pixels));
  }
  LauncherPanel panel;
  panel.instance = GetModuleHandleA(nullptr);
  panel.Hidden = 0;
  panel.GridWidth = 1280;
  panel.GridHeight = 800;
  panel.BackgroundBrush.reset(CreateSolidBrush(RGB(158, 195, 255)));
  if (wallpaper) panel.LoadWallpaper("wall.bmp");
  panel.RebuildImageList();
  testutil::Canvas canvas(1280, 800);
  std::vector<double> times;
  for (int i = 0; i < 15; ++i) {
    const auto start = std::chrono::steady_clock::now();
    panel.PaintBackground(canvas.dc());
    panel.PaintItems(canvas.dc());
    GdiFlush();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

int RunDriver() {
  const Sample floor = Median("--floor");
  std::printf("start-up (median of %d child processes)\n", kRuns);
  std::printf("  %-26s %9.1f ms  working set %7.0f KB\n", "floor: one plain window",
              floor.seconds * 1e3, floor.workingSetKb);
  for (int items : {0, 100, 1000}) {
    const Sample s = Median("--start " + std::to_string(items));
    std::printf("  %-26s %9.1f ms  (%.2fx floor)  working set %7.0f KB (%.2fx)  GDI %d USER %d\n",
                ("launcher, " + std::to_string(items) + " items").c_str(), s.seconds * 1e3,
                floor.seconds > 0 ? s.seconds / floor.seconds : 0, s.workingSetKb,
                floor.workingSetKb > 0 ? s.workingSetKb / floor.workingSetKb : 0, s.gdi, s.user);
  }
  std::printf("full paint of a 1280 x 800 grid (median of 15)\n");
  const double base = PaintMs(0, false);
  for (bool wallpaper : {false, true}) {
    for (int items : {0, 100, 1000}) {
      const double ms = (items == 0 && !wallpaper) ? base : PaintMs(items, wallpaper);
      std::printf("  %5d items, %-20s %8.2f ms  (%.1fx empty grid)\n", items,
                  wallpaper ? "1024x768 wallpaper" : "brush background", ms,
                  base > 0 ? ms / base : 0);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--floor") == 0) return RunFloor();
  if (argc >= 3 && std::strcmp(argv[1], "--start") == 0) {
    return RunStart(std::atoi(argv[2]), SecondsSinceProcessStart());
  }
  return RunDriver();
}
