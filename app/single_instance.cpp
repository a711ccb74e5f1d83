#include "app/single_instance.h"

#include <cwchar>
#include <string>

#include "app/instance_name.h"
#include "platform/wide_names.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"Nubotesa";
constexpr DWORD kPollMs = 50;

// A short (8.3) spelling of the folder names the same folder: every spelling
// comes to the one the program would keep for the long name (itself, or its
// short name where code page 932 cannot write it).
std::string LongFolder(const char* folder) {
  wchar_t wide[MAX_PATH], longer[MAX_PATH];
  char kept[MAX_PATH];
  if (!platform::WideOf(folder, wide, MAX_PATH)) return folder;
  const DWORD n = GetLongPathNameW(wide, longer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH || !platform::Cp932PathOf(longer, kept)) return folder;
  return kept;
}

// The process id the folder's launcher published; 0 while there is none yet.
DWORD PublishedOwner(const std::string& mapping) {
  HANDLE h = OpenFileMappingW(FILE_MAP_READ, FALSE, platform::WideText(mapping.c_str()).get());
  if (h == nullptr) return 0;
  DWORD pid = 0;
  if (void* view = MapViewOfFile(h, FILE_MAP_READ, 0, 0, sizeof pid)) {
    pid = *static_cast<volatile DWORD*>(view);
    UnmapViewOfFile(view);
  }
  CloseHandle(h);
  return pid;
}

struct WindowSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchLauncherWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[sizeof kMainWindowClass / sizeof kMainWindowClass[0] + 1] = L"";
  if (pid != search->pid || GetClassNameW(window, cls, sizeof cls / sizeof cls[0]) == 0 ||
      std::wcscmp(cls, kMainWindowClass) != 0) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

UINT ShowPanelMessage() {
  static const UINT message =
      RegisterWindowMessageW(platform::WideText(instance::kShowPanelMessage).get());
  return message;
}

HWND FindLauncherWindow(DWORD pid) {
  WindowSearch search = {pid, nullptr};
  EnumWindows(MatchLauncherWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

FolderLock::~FolderLock() {
  Release();
}

void FolderLock::Release() {
  if (held_) ReleaseMutex(mutex_);
  held_ = false;
  if (owner_ != nullptr) CloseHandle(owner_);
  if (mutex_ != nullptr) CloseHandle(mutex_);
  owner_ = mutex_ = nullptr;
}

FolderClaim FolderLock::Claim(const char* folder, DWORD waitMs) {
  const std::string name = "Local\\" + instance::InstanceName(LongFolder(folder).c_str());
  mutex_ = CreateMutexW(nullptr, FALSE, platform::WideText(name.c_str()).get());
  // Without the mutex nothing can be decided: better a second launcher than
  // none at all.
  if (mutex_ == nullptr) return FolderClaim::Claimed;
  const DWORD start = GetTickCount();
  for (DWORD wait = 0;; wait = kPollMs) {
    // WAIT_ABANDONED: the launcher that held the folder died without
    // releasing it; the folder is ours now.
    const DWORD got = WaitForSingleObject(mutex_, wait);
    if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
      held_ = true;
      Publish((name + ".owner").c_str());
      return FolderClaim::Claimed;
    }
    const DWORD pid = PublishedOwner(name + ".owner");
    const HWND window = pid != 0 ? FindLauncherWindow(pid) : nullptr;
    if (window != nullptr) {
      AllowSetForegroundWindow(pid);
      PostMessageW(window, ShowPanelMessage(), 0, 0);
      return FolderClaim::OtherShown;
    }
    // Otherwise the other launcher is still starting, or on its way out.
    if (GetTickCount() - start > waitMs) return FolderClaim::OtherBusy;
  }
}

void FolderLock::Publish(const char* mapping) {
  owner_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                              platform::WideText(mapping).get());
  if (owner_ == nullptr) return;
  if (void* view = MapViewOfFile(owner_, FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
    *static_cast<volatile DWORD*>(view) = GetCurrentProcessId();
    UnmapViewOfFile(view);
  }
}
