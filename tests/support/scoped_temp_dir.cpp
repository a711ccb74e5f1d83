#include "tests/support/scoped_temp_dir.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>

#include <cwchar>

#include "platform/wide_names.h"
#else
#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/file.h"

namespace {

#ifdef _WIN32
// Names cross to Windows in UTF-16, as the program's own do: the paths of the
// tests are code page 932 whatever the process's code page is.
void RemoveWideTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = dir + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveWideTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

void RemoveTree(const std::string& dir) {
  RemoveWideTree(platform::WideText(dir.c_str()).get());
}

std::string MakeTempDir() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    wchar_t name[MAX_PATH];
    char named[MAX_PATH];
    swprintf(name, MAX_PATH, L"%lsnubo%lu_%u", base, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryW(name, nullptr)) return platform::Cp932PathOf(name, named) ? named : "";
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  }
}

std::string CurrentDir() {
  char dir[MAX_PATH];
  const std::size_t length = platform::CurrentDirectory(dir, sizeof dir);
  return length > 0 && length < sizeof dir ? dir : "";
}

void ChangeDir(const std::string& dir) {
  SetCurrentDirectoryW(platform::WideText(dir.c_str()).get());
}
#else
int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  return ::remove(path);
}

void RemoveTree(const std::string& dir) {
  ::nftw(dir.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string MakeTempDir() {
  const char* base = ::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/nuboXXXXXX";
  return ::mkdtemp(&pattern[0]) != nullptr ? pattern : std::string();
}

std::string CurrentDir() {
  char dir[4096];
  return ::getcwd(dir, sizeof dir) != nullptr ? dir : "";
}

void ChangeDir(const std::string& dir) {
  (void)::chdir(dir.c_str());
}
#endif

}  // namespace

ScopedTempDir::ScopedTempDir() : path_(MakeTempDir()), previous_(CurrentDir()) {
  ChangeDir(path_);
}

ScopedTempDir::~ScopedTempDir() {
  ChangeDir(previous_);
  if (!path_.empty()) RemoveTree(path_);
}

std::string ScopedTempDir::File(const std::string& name) const {
  return path_ + platform::kPathSeparator + name;
}

// Through the program's own file layer: its paths are code page 932 on any
// Windows.
std::string ReadWholeFile(const std::string& path) {
  platform::File file;
  std::uint64_t size = 0;
  if (!file.Open(path.c_str(), platform::OpenMode::ReadExisting) || !file.Size(&size)) return "";
  std::string bytes(static_cast<std::size_t>(size), '\0');
  bytes.resize(size > 0 ? file.ReadAt(0, &bytes[0], bytes.size()) : 0);
  return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  platform::File file;
  return file.Open(path.c_str(), platform::OpenMode::CreateEmpty) &&
         file.WriteAt(0, bytes.data(), bytes.size()) == bytes.size();
}

bool FileExists(const std::string& path) {
  return platform::PathExists(path.c_str());
}

long long FileSize(const std::string& path) {
  platform::File file;
  std::uint64_t size = 0;
  if (!file.Open(path.c_str(), platform::OpenMode::ReadExisting) || !file.Size(&size)) return -1;
  return static_cast<long long>(size);
}
