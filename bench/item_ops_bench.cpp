// Item operations of the launcher under Wine at 10, 100 and 1,000 registered
// items: a drop that registers a new item (import, record write, one icon,
// one cell drawn), the launch decision for a cell (the lookup; a cell without
// an item, so nothing is started), an edit confirmed in the item edit dialog
// and a delete. Medians in milliseconds and the 1,000/10 ratio.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/message_boxes.h"
#include "tests/win/test_util.h"

namespace {

const int kSizes[] = {10, 100, 1000};
const int kRuns = 5;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double TimeMs(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

std::int32_t KeyOf(int i) {
  return (i / 40) * 128 + i % 40;
}

struct Row {
  const char* name;
  double ms[3];
};

// One size: items 0 .. count-1 pointing at a copy of this program, which has
// icons of its own; the panel shown.
void Measure(int count, int column, Row* rows) {
  ScopedTempDir dir;
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  const std::string program = dir.File("program.exe");
  CopyFileA(module, program.c_str(), FALSE);
  {
    ItemStore store;
    for (int i = 0; i < count; ++i)
      store.Put(KeyOf(i), 0, "item", program.c_str(), "C:\\", program.c_str());
  }
  testutil::WriteIni("Nubotesa.ini", "Config",
                     {{"Bitmap", "0"}, {"Startup", "0"}, {"IconSize", "32"}});
  testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
  MessageBoxAnswerer boxes;  // confirms the edit dialog at once
  LauncherApp app;
  app.Start(GetModuleHandleA(nullptr));
  LauncherPanel& panel = app.Panel();
  panel.Hidden = 0;
  ShowWindow(app.MainWindow(), SW_SHOW);
  std::vector<double> drop, launch, edit, remove;
  for (int r = 0; r < kRuns; ++r) {
    // Another name for the same file, so that no duplicate question comes.
    const std::string link = dir.File("copy" + std::to_string(r) + ".exe");
    CreateHardLinkA(link.c_str(), program.c_str(), nullptr) ||
        CopyFileA(program.c_str(), link.c_str(), FALSE);
    const std::int32_t key = KeyOf(count + r);
    drop.push_back(
        TimeMs([&] { panel.DropFile(link.c_str(), (key % 128) * 32 + 5, (key / 128) * 32 + 5); }));
    launch.push_back(TimeMs([&] { panel.LaunchAt(KeyOf(count + kRuns)); }));
    panel.ContextKey = KeyOf(count - 1);
    edit.push_back(TimeMs([&] { panel.EditContextItem(); }));
    panel.ContextKey = KeyOf(r);
    remove.push_back(TimeMs([&] { panel.DeleteContextItem(); }));
  }
  rows[0].ms[column] = Median(drop);
  rows[1].ms[column] = Median(launch);
  rows[2].ms[column] = Median(edit);
  rows[3].ms[column] = Median(remove);
  SendMessageA(app.MainWindow(), WM_CLOSE, 0, 0);
  testutil::RunUntilQuit(5000);
}

}  // namespace

int main() {
  Row rows[] = {{"drop registering a new item", {}},
                {"launch decision (lookup, empty cell)", {}},
                {"edit confirmed", {}},
                {"delete", {}}};
  for (int i = 0; i < 3; ++i) Measure(kSizes[i], i, rows);
  std::printf("%-38s %10s %10s %10s %10s\n", "operation (median of 5, ms)", "10 items", "100",
              "1000", "1000/10");
  for (const Row& row : rows) {
    std::printf("%-38s %10.4f %10.4f %10.4f %10.1f\n", row.name, row.ms[0], row.ms[1], row.ms[2],
                row.ms[2] / row.ms[0]);
  }
  std::printf(
      "Registration costs one record write and one icon at any size; an edit its dialog\n"
      "and one icon; a delete rewrites the item file and removes one image from the\n"
      "list, both of which copy everything after it, so a delete grows with the items.\n");
  return 0;
}
