// The launcher's process: one launcher per data folder; one application
// object, its message loop, its exit code.
#include "app/launcher_main.h"

#include "app/launcher_app.h"
#include "app/single_instance.h"

namespace {

// How long a second start waits for the folder's launcher to show a window.
constexpr DWORD kHandOverMs = 10000;

int RunLauncher(HINSTANCE instance) {
  LauncherApp app;
  if (app.Start(instance) != 1) {
    // Without a working panel the loop could never end: release what was
    // created and leave.
    if (app.MainWindow() != nullptr) DestroyWindow(app.MainWindow());
    return 1;
  }
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int LauncherMain(HINSTANCE instance) {
  // Decided before anything reads or writes the folder's files: two launchers
  // on one item file would overwrite each other's records. The claim is held
  // until the application object has written its files for the last time.
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  FolderLock lock;
  if (lock.Claim(folder, kHandOverMs) != FolderClaim::Claimed) return 0;
  return RunLauncher(instance);
}
