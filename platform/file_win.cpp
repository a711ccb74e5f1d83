#include "platform/file.h"

#include <windows.h>

#include <cstring>

#include "platform/wide_names.h"

namespace platform {

namespace {

HANDLE AsHandle(void* h) {
  return static_cast<HANDLE>(h);
}

bool SeekTo(HANDLE h, std::uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(h, to, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

File::~File() {
  Close();
}

bool File::Open(const char* path, OpenMode mode) {
  Close();
  DWORD access = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case OpenMode::ReadExisting:
      break;
    case OpenMode::ReadOrCreate:
      disposition = OPEN_ALWAYS;
      break;
    case OpenMode::WriteOrCreate:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      break;
    case OpenMode::CreateEmpty:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
  }
  const WideText name(path);
  if (!name.ok()) return false;
  HANDLE h =
      CreateFileW(name.get(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  return true;
}

bool File::IsOpen() const {
  return AsHandle(handle_) != INVALID_HANDLE_VALUE;
}

bool File::Close() {
  if (!IsOpen()) return true;
  const bool closed = CloseHandle(AsHandle(handle_)) != 0;
  handle_ = INVALID_HANDLE_VALUE;
  return closed && !ClosesFailForTesting();
}

std::size_t File::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  if (!IsOpen() || size > MAXDWORD || !SeekTo(AsHandle(handle_), offset)) return 0;
  DWORD got = 0;
  if (!ReadFile(AsHandle(handle_), buffer, static_cast<DWORD>(size), &got, nullptr)) return 0;
  return got;
}

std::size_t File::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (!IsOpen() || size > MAXDWORD || !SeekTo(AsHandle(handle_), offset)) return 0;
  std::uint64_t end = 0;
  if (!Size(&end)) return 0;
  const std::size_t allowed = GrowthAllowed(end, offset, size);
  DWORD put = 0;
  if (allowed > 0 &&
      !WriteFile(AsHandle(handle_), data, static_cast<DWORD>(allowed), &put, nullptr)) {
    return 0;
  }
  return put;
}

bool File::Size(std::uint64_t* size) const {
  LARGE_INTEGER s;
  if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &s)) return false;
  *size = static_cast<std::uint64_t>(s.QuadPart);
  return true;
}

bool File::Truncate(std::uint64_t size) {
  return IsOpen() && SeekTo(AsHandle(handle_), size) && SetEndOfFile(AsHandle(handle_)) != 0;
}

bool File::Flush() {
  return IsOpen() && FlushFileBuffers(AsHandle(handle_)) != 0;
}

bool RemoveFile(const char* path) {
  const WideText name(path);
  return name.ok() && DeleteFileW(name.get()) != 0;
}

bool ReplaceFileAtomically(const char* source, const char* target) {
  const WideText from(source), to(target);
  return from.ok() && to.ok() &&
         MoveFileExW(from.get(), to.get(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Read in UTF-16 and named as every path the program keeps: exactly, or by
// the short name.
std::size_t CurrentDirectory(char* buffer, std::size_t size) {
  wchar_t wide[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, wide);
  char path[MAX_PATH];
  if (length == 0 || length >= MAX_PATH || !Cp932PathOf(wide, path)) return 0;
  const std::size_t bytes = std::strlen(path);
  if (bytes >= size) return bytes + 1;
  std::memcpy(buffer, path, bytes + 1);
  return bytes;
}

}  // namespace platform

namespace platform {
bool PathExists(const char* path) {
  const WideText name(path);
  return name.ok() && GetFileAttributesW(name.get()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace platform
