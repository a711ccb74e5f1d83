// The Startup shortcut through the registry and the shell-link object.
#include "settings/startup_shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "platform/com_use.h"
#include "platform/file.h"
#include "platform/wide_names.h"
#include "platform/win_handles.h"
#include "settings/startup_rules.h"

namespace {

constexpr wchar_t kShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The Startup folder as the registry names it, into `folder` (MAX_PATH wide
// characters). False when the key or value is missing, is not a string, is
// empty or leaves no room for its terminator.
bool ReadStartupFolder(wchar_t (&folder)[MAX_PATH]) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD size = sizeof folder;
  const LONG status =
      RegQueryValueExW(key, L"Startup", nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
  RegCloseKey(key);
  const DWORD units = size / sizeof folder[0];
  if (status != ERROR_SUCCESS || type != REG_SZ || units == 0) return false;
  // The stored data need not end in a terminator: it must fit with one.
  if (folder[units - 1] != L'\0') {
    if (units >= MAX_PATH) return false;
    folder[units] = L'\0';
  }
  return folder[0] != L'\0';
}

int WriteShortcut(const StartupPaths& paths) {
  platform::UseCom();
  platform::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put()))) {
    return 0;
  }
  // Declared after the link, so released before it.
  platform::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return 0;
  if (FAILED(link->SetDescription(platform::WideText(startup_rules::kDescription).get()))) return 0;
  if (FAILED(link->SetPath(platform::WideText(paths.ProgramPath).get()))) return 0;
  if (FAILED(link->SetWorkingDirectory(platform::WideText(paths.WorkDir).get()))) return 0;
  WCHAR widePath[260];
  // Failed, or nothing but the terminator.
  if (!platform::WideOf(paths.ShortcutPath, widePath, 260) || widePath[0] == L'\0') return 0;
  if (FAILED(file->Save(widePath, TRUE))) return 0;
  return 1;
}

}  // namespace

void ComposeStartupPaths(StartupPaths* paths) {
  char dir[260];
  const std::size_t length = platform::CurrentDirectory(dir, sizeof dir);
  const bool haveDir = length > 0 && length < sizeof dir;
  // The folder is kept as every path is: exactly, or by its short name.
  wchar_t wide[MAX_PATH];
  char folder[260];
  const bool readFolder = ReadStartupFolder(wide);
  const bool haveFolder = readFolder && platform::Cp932PathOf(wide, folder);
  startup_rules::ComposePaths(haveDir ? dir : nullptr, haveFolder ? folder : nullptr, paths);
  paths->FolderUnwritable = readFolder && !haveFolder;
}

int UpdateStartupShortcut(const StartupPaths& paths, const PanelSettings& settings) {
  switch (startup_rules::ChooseAction(paths, settings.Startup)) {
    case startup_rules::ShortcutAction::None:
      return 0;
    case startup_rules::ShortcutAction::Delete:
      platform::RemoveFile(paths.ShortcutPath);  // a missing shortcut is fine
      return 0;
    case startup_rules::ShortcutAction::Write:
      break;
  }
  return WriteShortcut(paths);
}
