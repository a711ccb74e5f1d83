#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace platform {

File::~File() {
  Close();
}

bool File::Open(const char* path, OpenMode mode) {
  Close();
  int flags = O_RDONLY;
  switch (mode) {
    case OpenMode::ReadExisting:
      break;
    case OpenMode::ReadOrCreate:
      flags = O_RDONLY | O_CREAT;
      break;
    case OpenMode::WriteOrCreate:
      flags = O_RDWR | O_CREAT;
      break;
    case OpenMode::CreateEmpty:
      flags = O_RDWR | O_CREAT;
      break;
  }
  const int fd = ::open(path, flags | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // The lock stands in for share mode 0: it belongs to this open file alone,
  // so a second open fails even inside the same process.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  // Truncate only once the file is ours, so a held file is never emptied.
  if (mode == OpenMode::CreateEmpty && ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool File::IsOpen() const {
  return fd_ >= 0;
}

bool File::Close() {
  if (fd_ < 0) return true;
  // The descriptor is gone whatever close answers, EINTR included.
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return closed && !ClosesFailForTesting();
}

std::size_t File::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  if (fd_ < 0) return 0;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, size - done,
                              static_cast<off_t>(offset + done));
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::size_t File::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  std::uint64_t end = 0;
  if (fd_ < 0 || !Size(&end)) return 0;
  size = GrowthAllowed(end, offset, size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd_, static_cast<const char*>(data) + done, size - done,
                               static_cast<off_t>(offset + done));
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool File::Size(std::uint64_t* size) const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
  *size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool File::Truncate(std::uint64_t size) {
  return fd_ >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

bool File::Flush() {
  return fd_ >= 0 && ::fsync(fd_) == 0;
}

namespace {

// Windows refuses to delete or replace a file that is open without sharing.
// Here a file held by a File has its lock taken; honour it the same way.
bool HeldByOther(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);
  return held;
}

}  // namespace

bool RemoveFile(const char* path) {
  return !HeldByOther(path) && ::unlink(path) == 0;
}

bool ReplaceFileAtomically(const char* source, const char* target) {
  return !HeldByOther(target) && std::rename(source, target) == 0;
}

std::size_t CurrentDirectory(char* buffer, std::size_t size) {
  char local[4096];
  if (::getcwd(local, sizeof local) == nullptr) return 0;
  const std::size_t len = std::strlen(local);
  if (len + 1 > size) return len + 1;
  std::memcpy(buffer, local, len + 1);
  return len;
}

}  // namespace platform

namespace platform {
bool PathExists(const char* path) {
  struct stat st;
  return ::stat(path, &st) == 0;
}
}  // namespace platform
