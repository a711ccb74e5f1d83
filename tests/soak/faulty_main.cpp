// The launcher for the soak test: the real program, except that the
// environment variable NUBO_FILE_GROWTH_LIMIT (a number of bytes) makes its
// file layer behave as on a disk that fills up after that many more bytes.
#include <windows.h>

#include <cstdlib>

#include "app/launcher_main.h"
#include "platform/file.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  char limit[32] = "";
  if (GetEnvironmentVariableA("NUBO_FILE_GROWTH_LIMIT", limit, sizeof limit) > 0) {
    platform::LimitFileGrowthForTesting(std::strtoll(limit, nullptr, 10));
  }
  return LauncherMain(instance);
}
