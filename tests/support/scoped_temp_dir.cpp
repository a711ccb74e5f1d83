#include "tests/support/scoped_temp_dir.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/file.h"

namespace {

#ifdef _WIN32
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      // A name the code page cannot write is reached by its short name.
      const std::string name = *data.cAlternateFileName ? data.cAlternateFileName : data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = dir + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

std::string MakeTempDir() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%snubo%lu_%u", base, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryA(name, nullptr)) return name;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  }
}

std::string CurrentDir() {
  char dir[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, dir);
  return dir;
}

void ChangeDir(const std::string& dir) {
  SetCurrentDirectoryA(dir.c_str());
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

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool FileExists(const std::string& path) {
  return platform::PathExists(path.c_str());
}

long long FileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return -1;
  return static_cast<long long>(in.tellg());
}
