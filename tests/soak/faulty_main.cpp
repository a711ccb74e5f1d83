// The launcher for the soak test: the real program, except that
//  - the environment variable NUBO_FILE_GROWTH_LIMIT (a number of bytes) makes
//    its file layer behave as on a disk that fills up after that many more
//    bytes;
//  - it tells the soak driver how far it has read its message queue: a posted
//    "NuboTesa.SoakMarker" message's wParam is copied, when the message loop
//    takes it, into the shared DWORD "Local\NuboTesa.SoakMarker.<pid>". All
//    messages posted before it have then been handled.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/launcher_main.h"
#include "platform/file.h"

namespace {

UINT g_marker = 0;
volatile DWORD* g_seen = nullptr;

LRESULT CALLBACK SeeMarker(int code, WPARAM removed, LPARAM message) {
  const MSG* m = reinterpret_cast<const MSG*>(message);
  if (code >= 0 && removed == PM_REMOVE && m->message == g_marker && g_seen != nullptr) {
    *g_seen = static_cast<DWORD>(m->wParam);
  }
  return CallNextHookEx(nullptr, code, removed, message);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  char limit[32] = "";
  if (GetEnvironmentVariableA("NUBO_FILE_GROWTH_LIMIT", limit, sizeof limit) > 0) {
    platform::LimitFileGrowthForTesting(std::strtoll(limit, nullptr, 10));
  }
  g_marker = RegisterWindowMessageA("NuboTesa.SoakMarker");
  const std::string name = "Local\\NuboTesa.SoakMarker." + std::to_string(GetCurrentProcessId());
  HANDLE shared = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     sizeof(DWORD), name.c_str());
  if (shared != nullptr) {
    g_seen =
        static_cast<volatile DWORD*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
  }
  SetWindowsHookExA(WH_GETMESSAGE, SeeMarker, nullptr, GetCurrentThreadId());
  return LauncherMain(instance);
}
