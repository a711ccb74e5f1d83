// The launcher's process: one launcher per data folder; one application
// object, its message loop, its exit code.
#include "app/launcher_main.h"

#include <cwchar>

#define DELAYIMP_INSECURE_WRITABLE_HOOKS  // the hook below is set once, here
#include <delayimp.h>

#include "app/launcher_app.h"
#include "app/single_instance.h"
#include "platform/file.h"
#include "platform/ui_text.h"
#include "platform/wide_names.h"

namespace {

// A portable launcher is often started from a Downloads folder, beside
// whatever else came from the net: a DLL there named like a system one must
// never be loaded. Libraries come from the system folder only.
// A name without a path, so that the manifest's activation context still
// hands out the common controls of version 6 from the side-by-side store; a
// full path would bypass it and load the system folder's older version.
HMODULE LoadSystemLibrary(const char* name) {
  wchar_t wideName[MAX_PATH];
  if (!platform::WideOf(name, wideName, MAX_PATH)) return nullptr;
  HMODULE module = LoadLibraryExW(wideName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // A Windows that does not know the flag. A library the activation context
  // redirects comes from the store, whatever lies beside the program.
  ACTCTX_SECTION_KEYED_DATA redirect = {};
  redirect.cbSize = sizeof redirect;
  if (FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, wideName,
                               &redirect)) {
    return LoadLibraryW(wideName);
  }
  // Others: the file of the system folder.
  wchar_t path[MAX_PATH];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length + 1 + std::wcslen(wideName) >= MAX_PATH) return nullptr;
  path[length] = L'\\';
  std::wcscpy(path + length + 1, wideName);
  return LoadLibraryW(path);
}

// The libraries linked for loading at first use (the common controls and
// dialogs) are loaded here rather than by the linker's helper.
FARPROC WINAPI LoadDelayedLibrary(unsigned note, PDelayLoadInfo info) {
  if (note != dliNotePreLoadLibrary) return nullptr;
  return reinterpret_cast<FARPROC>(LoadSystemLibrary(info->szDll));
}

// Every later search for a library skips the program's and the current
// folder. Looked up, so that a Windows without the call still starts.
void SearchSystemFolderOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

const char kFolderUnwritable[] =
    "このフォルダの名前に、このソフトでは扱えない文字が含まれています。"
    "フォルダの名前を変えるか、別のフォルダに移してから起動してください。";
const char kFolderTooLong[] =
    "このフォルダの場所が長すぎるため、起動できません。"
    "もっと短い場所に移してから起動してください。";
const char kWarningCaption[] = "ホコからの警告";

// The folder where the launcher keeps its files, as every path of the program
// is kept: exactly in code page 932, or by its short name. Without either the
// user is told why, and the launcher does not start.
bool DataFolder(char (&folder)[MAX_PATH]) {
  const std::size_t named = platform::CurrentDirectory(folder, sizeof folder);
  if (named > 0 && named < sizeof folder) return true;
  wchar_t wide[MAX_PATH] = L"";
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, wide);
  const bool tooLong =
      length >= MAX_PATH || platform::Cp932NameFault(wide) == platform::NameFault::Length;
  platform::ShowMessageBox(nullptr, tooLong ? kFolderTooLong : kFolderUnwritable, kWarningCaption,
                           MB_OK | MB_SETFOREGROUND);
  return false;
}

// How long a second start waits for the folder's launcher to show a window.
constexpr DWORD kHandOverMs = 10000;

int RunLauncher(HINSTANCE instance, FolderLock* lock) {
  LauncherApp app;
  // The claim ends with the last write of the files, before a box that says
  // the settings were not saved: a start in the folder does not wait for it.
  app.Panel().filesDone = [](void* claim) { static_cast<FolderLock*>(claim)->Release(); };
  app.Panel().filesDoneContext = lock;
  if (app.Start(instance) != 1) {
    // Without a working panel the loop could never end: release what was
    // created and leave.
    if (app.MainWindow() != nullptr) DestroyWindow(app.MainWindow());
    return 1;
  }
  MSG msg = {};
  while (GetMessageW(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadDelayedLibrary;
}

int LauncherMain(HINSTANCE instance) {
  SearchSystemFolderOnly();
  // Decided before anything reads or writes the folder's files: two launchers
  // on one item file would overwrite each other's records. The claim is held
  // until the application object has written its files for the last time.
  char folder[MAX_PATH] = "";
  if (!DataFolder(folder)) return 1;
  FolderLock lock;
  if (lock.Claim(folder, kHandOverMs) != FolderClaim::Claimed) return 0;
  return RunLauncher(instance, &lock);
}
