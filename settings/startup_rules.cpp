#include "settings/startup_rules.h"

#include <cstring>

#include "settings/settings_rules.h"

namespace startup_rules {

void ComposePaths(const char* currentDir, const char* startupFolder, StartupPaths* paths) {
  paths->WorkDir[0] = '\0';
  paths->ProgramPath[0] = '\0';
  paths->ShortcutPath[0] = '\0';
  paths->FolderUnwritable = false;
  if (currentDir != nullptr &&
      settings_rules::AppendFileName(currentDir, kProgramFileName, paths->ProgramPath,
                                     sizeof paths->ProgramPath)) {
    // The directory fits whenever the program path built from it does.
    std::memcpy(paths->WorkDir, currentDir, std::strlen(currentDir) + 1);
  }
  if (startupFolder != nullptr) {
    settings_rules::AppendFileName(startupFolder, kShortcutFileName, paths->ShortcutPath,
                                   sizeof paths->ShortcutPath);
  }
}

ShortcutAction ChooseAction(const StartupPaths& paths, std::int32_t startup) {
  if (paths.ShortcutPath[0] == '\0') return ShortcutAction::None;
  if (startup == 0) return ShortcutAction::Delete;
  if (paths.ProgramPath[0] == '\0') return ShortcutAction::None;
  return ShortcutAction::Write;
}

}  // namespace startup_rules
