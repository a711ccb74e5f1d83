// Exclusive file access for the program's data files.
//
// Every open takes the file for this handle alone: on Windows with share mode 0,
// elsewhere with an exclusive non-blocking lock. A second open of the same file,
// from this process or another, fails until the first handle is closed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

enum class OpenMode {
  ReadExisting,   // read; the file must exist
  ReadOrCreate,   // read; an empty file is created when none exists
  WriteOrCreate,  // read and write; created when missing, never truncated
  CreateEmpty,    // read and write; created or truncated to 0 bytes
};

class File {
 public:
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool Open(const char* path, OpenMode mode);
  bool IsOpen() const;
  // False when the system reports a failure at the close: a network drive
  // tells a full disk there, and what was written may then be lost. The file
  // is closed all the same.
  bool Close();

  // Reads or writes up to `size` bytes at `offset`; returns the bytes moved
  // (0 on any failure). Writing past the end extends the file.
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
  std::size_t WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  bool Size(std::uint64_t* size) const;
  // Cuts the file back to `size` bytes (a write that did not get through is
  // taken back).
  bool Truncate(std::uint64_t size);
  // Pushes written data to the disk before the handle is closed.
  bool Flush();

 private:
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
#else
  int fd_ = -1;
#endif
};

// For tests that play a full disk: after `bytes` more bytes that extend files
// (writes within a file's present size still succeed, as on a full disk),
// every write that would extend a file stores only what fits and reports the
// shorter count. A negative value lifts the limit (the default).
void LimitFileGrowthForTesting(std::int64_t bytes);

// For tests that play a network drive whose disk is full: while on, every
// close reports a failure.
void FailClosesForTesting(bool fail);
bool ClosesFailForTesting();

// The part of a write of `size` bytes at `offset` into a file of `end` bytes
// that the limit above lets through; counts the growth against the limit.
std::size_t GrowthAllowed(std::uint64_t end, std::uint64_t offset, std::size_t size);

// Deletes a file; true when it was deleted.
bool RemoveFile(const char* path);

// Replaces `target` by `source` in one step (source is renamed over target).
bool ReplaceFileAtomically(const char* source, const char* target);

// The process's current directory into `buffer`: the length without the
// terminator, 0 on failure, or the size needed when the buffer is too small
// (then nothing is written). On Windows in code page 932, exactly or by its
// short (8.3) name; 0 when it has neither form.
std::size_t CurrentDirectory(char* buffer, std::size_t size);

// The character that separates folders in this platform's paths.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Joins `dir` and `name` with one separator into `out` (`size` bytes, including
// the terminator). Returns false, leaving `out` empty, when the result does not
// fit.
bool JoinPath(const char* dir, const char* name, char* out, std::size_t size);

}  // namespace platform

namespace platform {
// True when something exists at `path`.
bool PathExists(const char* path);
}  // namespace platform
