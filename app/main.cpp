// Process entry: one application object, its message loop, its exit code.
#include <windows.h>

#include "app/launcher_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
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
