// Helpers shared by the launcher benchmarks under Wine: timing, medians, item
// files with distinct icon files, child processes.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The folder of this program, with a trailing backslash.
std::string ModuleDir();

// `count` distinct programs with icons, as hard links (or copies) of one
// program, in the folder `dir`, named p00000.exe, p00001.exe, ...
bool MakeIconFiles(const std::string& dir, const std::string& program, int count);
std::string IconFile(const std::string& dir, int i);

// Writes NuboInfo.Dat in the current folder: `count` items on a grid of 40
// columns whose icon file is `iconOf(i)`.
void WriteItemFile(int count, const std::string& iconDir, bool distinct);

// Nubotesa.ini for a later start (hidden, no wallpaper, no Startup shortcut).
void WriteLaterStartSettings();

// Working set of a process in KB.
double WorkingSetKb(HANDLE process);

}  // namespace bench
