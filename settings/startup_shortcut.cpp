// The Startup shortcut through the registry and the shell-link object.
#include "settings/startup_shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "platform/wide_names.h"
#include "platform/win_handles.h"
#include "settings/startup_rules.h"

namespace {

constexpr char kShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The Startup folder as the registry names it, into `folder` (260 bytes).
// False when the key or value is missing, is not a string, is empty or leaves
// no room for its terminator.
bool ReadStartupFolder(char (&folder)[260]) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD size = sizeof folder;
  const LONG status =
      RegQueryValueExA(key, "Startup", nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ || size == 0) return false;
  // The stored data need not end in a terminator: it must fit with one.
  if (folder[size - 1] != '\0') {
    if (size >= sizeof folder) return false;
    folder[size] = '\0';
  }
  return folder[0] != '\0';
}

int WriteShortcut(const StartupPaths& paths) {
  platform::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put()))) {
    return 0;
  }
  // Declared after the link, so released before it.
  platform::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return 0;
  if (FAILED(link->SetDescription(startup_rules::kDescription))) return 0;
  if (FAILED(link->SetPath(paths.ProgramPath))) return 0;
  if (FAILED(link->SetWorkingDirectory(paths.WorkDir))) return 0;
  WCHAR widePath[260];
  // Failed, or nothing but the terminator.
  if (!platform::WideOf(paths.ShortcutPath, widePath, 260) || widePath[0] == L'\0') return 0;
  if (FAILED(file->Save(widePath, TRUE))) return 0;
  return 1;
}

}  // namespace

void ComposeStartupPaths(StartupPaths* paths) {
  char dir[260];
  const DWORD length = GetCurrentDirectoryA(sizeof dir, dir);
  const bool haveDir = length > 0 && length < sizeof dir;
  char folder[260];
  const bool haveFolder = ReadStartupFolder(folder);
  startup_rules::ComposePaths(haveDir ? dir : nullptr, haveFolder ? folder : nullptr, paths);
}

int UpdateStartupShortcut(const StartupPaths& paths, const PanelSettings& settings) {
  switch (startup_rules::ChooseAction(paths, settings.Startup)) {
    case startup_rules::ShortcutAction::None:
      return 0;
    case startup_rules::ShortcutAction::Delete:
      DeleteFileA(paths.ShortcutPath);  // a missing shortcut is fine
      return 0;
    case startup_rules::ShortcutAction::Write:
      break;
  }
  return WriteShortcut(paths);
}
