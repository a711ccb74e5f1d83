// process_handles.exe NAME.exe: prints "NAME.exe PID HANDLES" for the first
// running process of that name, HANDLES being its open kernel handles as the
// system's handle list counts them (Wine answers GetProcessHandleCount with 0
// for other processes). Exits with 1 when there is no such process or list.
// process_handles.exe NAME.exe DLL: prints "MAJOR.MINOR PATH" of the library
// of that name the process has loaded, as its DllGetVersion answers.
#include <windows.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <cstdio>

#include "tests/support/process_handles.h"

namespace {

DWORD FindProcess(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  DWORD pid = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && pid == 0;
       more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, name) == 0) pid = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return pid;
}

int PrintLoadedVersion(DWORD pid, const char* dll) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  MODULEENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  BOOL more = Module32First(snapshot, &entry);
  while (more && lstrcmpiA(entry.szModule, dll) != 0) more = Module32Next(snapshot, &entry);
  CloseHandle(snapshot);
  const auto get = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(
      GetProcAddress(LoadLibraryA(more ? entry.szExePath : dll), "DllGetVersion")));
  DLLVERSIONINFO info = {sizeof info, 0, 0, 0, 0};
  if (!more || get == nullptr || FAILED(get(&info))) return 1;
  std::printf("%lu.%lu %s\n", info.dwMajorVersion, info.dwMinorVersion, entry.szExePath);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const DWORD pid = FindProcess(argv[1]);
  if (pid == 0) return 1;
  if (argc > 2) return PrintLoadedVersion(pid, argv[2]);
  const long count = handles::CountHandles(pid);
  if (count < 0) return 1;
  std::printf("%s %lu %ld\n", argv[1], static_cast<unsigned long>(pid), count);
  return 0;
}
