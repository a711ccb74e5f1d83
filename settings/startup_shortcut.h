// The shortcut to the program in the user's Startup folder: written while the
// Startup setting is on, deleted while it is off.
#pragma once

#include "settings/panel_settings.h"

struct StartupPaths {
  char WorkDir[260];       // the current directory when the paths were composed
  char ProgramPath[260];   // WorkDir + "\NuboTesa.Exe": the shortcut's target
  char ShortcutPath[260];  // Startup folder + "\NuboTesa.lnk"; empty when unknown
  // The registry names a Startup folder that has no name in code page 932,
  // not even a short one: ShortcutPath is then empty.
  bool FolderUnwritable;
};

// Reads the current directory and the Startup folder named in the registry
// (HKCU "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders",
// value "Startup"). A folder that cannot be read, or a path that would not fit
// its 260 bytes, leaves the path empty. Both are kept in code page 932, exactly
// or by their short names.
void ComposeStartupPaths(StartupPaths* paths);

// With Startup non-zero, writes the shortcut (description "NuboTesa", target
// ProgramPath, working folder WorkDir) and returns 1; with Startup 0 deletes it.
// Returns 0 after a deletion and on any failure. Does nothing at all while
// ShortcutPath is empty. COM must be initialised on the calling thread.
int UpdateStartupShortcut(const StartupPaths& paths, const PanelSettings& settings);
