// A fresh temporary folder that becomes the current directory for the life of
// the object; the previous directory is restored and the folder removed after.
#pragma once

#include <string>

class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path of `name` inside the folder.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
  std::string previous_;
};

// Whole-file helpers for checking what the program wrote.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
long long FileSize(const std::string& path);  // -1 when missing
