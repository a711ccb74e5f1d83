// process_handles.exe NAME.exe: prints "NAME.exe PID HANDLES" for the first
// running process of that name, HANDLES being its open kernel handles as the
// system's handle list counts them (Wine answers GetProcessHandleCount with 0
// for other processes). Exits with 1 when there is no such process or list.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <vector>

namespace {

// The system's handle list (information class 16).
struct HandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT handle;
  PVOID object;
  ACCESS_MASK access;
};
struct HandleList {
  ULONG count;
  HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);

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

long CountHandles(DWORD pid) {
  auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<BYTE> buffer(1 << 16);
  for (;;) {
    ULONG needed = 0;
    const LONG status =
        query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kLengthMismatch) {
      buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
      continue;
    }
    if (status != 0) return -1;
    break;
  }
  const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
  long count = 0;
  for (ULONG i = 0; i < list->count; ++i) count += list->entries[i].ownerPid == pid;
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const DWORD pid = FindProcess(argv[1]);
  if (pid == 0) return 1;
  const long count = CountHandles(pid);
  if (count < 0) return 1;
  std::printf("%s %lu %ld\n", argv[1], static_cast<unsigned long>(pid), count);
  return 0;
}
