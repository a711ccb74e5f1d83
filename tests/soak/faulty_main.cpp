// The launcher for the soak test: the real program, except that
//  - the environment variable NUBO_FILE_GROWTH_LIMIT (a number of bytes) makes
//    its file layer behave as on a disk that fills up after that many more
//    bytes;
//  - it tells the soak driver how far it has read its message queue: a posted
//    "NuboTesa.SoakMarker" message's wParam is copied, when the message loop
//    takes it, into shared memory, with the records the launcher holds then
//    and the state of its settings (soak::Report). All messages posted before
//    it have then been handled.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/launcher_app.h"
#include "app/launcher_main.h"
#include "platform/file.h"
#include "tests/soak/soak_model.h"

namespace {

UINT g_marker = 0;
soak::Report* g_seen = nullptr;

LRESULT CALLBACK SeeMarker(int code, WPARAM removed, LPARAM message) {
  const MSG* m = reinterpret_cast<const MSG*>(message);
  auto* app = reinterpret_cast<LauncherApp*>(GetWindowLongPtrA(m->hwnd, GWLP_USERDATA));
  if (code >= 0 && removed == PM_REMOVE && m->message == g_marker && g_seen && app) {
    const ItemStore& items = app->Panel().items;
    g_seen->count = static_cast<std::uint32_t>(std::min(items.ItemCount(), 64));
    g_seen->saveFailed = app->Panel().settings.SaveFailed;
    for (std::uint32_t i = 0; i < g_seen->count; ++i) {
      std::memcpy(g_seen->records + i * 920, items.RecordAt(static_cast<int>(i)), 920);
    }
    MemoryBarrier();
    g_seen->seen = static_cast<DWORD>(m->wParam);
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
                                     sizeof(soak::Report), name.c_str());
  if (shared != nullptr) {
    g_seen = static_cast<soak::Report*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, 0));
  }
  SetWindowsHookExA(WH_GETMESSAGE, SeeMarker, nullptr, GetCurrentThreadId());
  return LauncherMain(instance);
}
