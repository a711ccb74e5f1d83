// Process entry of the launcher (the whole program is in LauncherMain).
#include <windows.h>

#include "app/launcher_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return LauncherMain(instance);
}
