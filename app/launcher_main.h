// What the process entry runs: claims the data folder (or hands over to the
// launcher already running there and returns 0), then runs the application
// object's message loop and returns its exit code.
#pragma once

#include <windows.h>

int LauncherMain(HINSTANCE instance);
