// The open kernel handles of a process, counted in the system's handle list.
// Wine answers GetProcessHandleCount with 0, also for the calling process;
// its handle list is right. Returns -1 when the list cannot be read.
#pragma once

#include <windows.h>

#include <vector>

namespace handles {

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
inline constexpr ULONG kSystemHandleInformation = 16;
inline constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);

inline long CountHandles(DWORD pid) {
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

}  // namespace handles
