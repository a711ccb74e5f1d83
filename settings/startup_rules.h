// How the Startup paths are composed and what an update does with them, without
// the registry or the shell-link object (those are in startup_shortcut.cpp).
#pragma once

#include <cstdint>

#include "settings/startup_shortcut.h"

namespace startup_rules {

constexpr char kProgramFileName[] = "NuboTesa.Exe";
constexpr char kShortcutFileName[] = "NuboTesa.lnk";
constexpr char kDescription[] = "NuboTesa";

// Fills `paths` from the current directory and the Startup folder. Either may
// be null (unreadable); a path that is unknown, empty or would not fit leaves
// its fields empty, never a cut path.
void ComposePaths(const char* currentDir, const char* startupFolder, StartupPaths* paths);

enum class ShortcutAction {
  None,    // the Startup folder is unknown (or there is no target): touch nothing
  Delete,  // the setting is off
  Write,   // the setting is on
};

ShortcutAction ChooseAction(const StartupPaths& paths, std::int32_t startup);

}  // namespace startup_rules
