#include "bench/bench_util.h"

#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "items/item_record.h"
#include "tests/win/test_util.h"

namespace bench {

std::string ModuleDir() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of('\\') + 1);
}

std::string IconFile(const std::string& dir, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "\\p%05d.exe", i);
  return dir + name;
}

bool MakeIconFiles(const std::string& dir, const std::string& program, int count) {
  CreateDirectoryA(dir.c_str(), nullptr);
  for (int i = 0; i < count; ++i) {
    const std::string file = IconFile(dir, i);
    if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (!CreateHardLinkA(file.c_str(), program.c_str(), nullptr) &&
        !CopyFileA(program.c_str(), file.c_str(), FALSE)) {
      return false;
    }
  }
  return true;
}

void WriteItemFile(int count, const std::string& iconDir, bool distinct) {
  std::string bytes(static_cast<std::size_t>(count) * kItemRecordSize, '\0');
  for (int i = 0; i < count; ++i) {
    ItemRecord r;
    std::memset(&r, 0, sizeof r);
    r.key = (i / 40) * 128 + i % 40;
    std::snprintf(r.title, sizeof r.title, "item %d", i);
    const std::string icon = IconFile(iconDir, distinct ? i : 0);
    std::snprintf(r.target, sizeof r.target, "%s", icon.c_str());
    std::snprintf(r.workDir, sizeof r.workDir, "C:\\");
    std::snprintf(r.iconFile, sizeof r.iconFile, "%s", icon.c_str());
    EncodeItemRecord(r, reinterpret_cast<std::uint8_t*>(&bytes[i * kItemRecordSize]));
  }
  char dir[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "\\NuboInfo.Dat";
  DeleteFileA(path.c_str());
  if (count == 0) return;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(f);
}

void WriteLaterStartSettings() {
  testutil::WriteIni("Nubotesa.ini", "Config", {{"Bitmap", "0"}, {"Startup", "0"}});
  testutil::WriteIni("Nubotesa.ini", "Check", {{"CheckFlag", "1"}});
}

double WorkingSetKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, &counters, sizeof counters);
  return static_cast<double>(counters.WorkingSetSize) / 1024.0;
}

}  // namespace bench
