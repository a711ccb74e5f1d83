#include "items/item_import_rules.h"

#include <cstring>

#include "platform/cp932.h"

namespace {

constexpr std::size_t kMaxPath = 259;  // bytes of a 260-byte buffer before the terminator

// Index of the last backslash character at index 1 or later, or 0 when there
// is none (index 0 is never a separator here).
std::size_t LastSeparatorAt(const char* path) {
  std::size_t found = 0;
  for (std::size_t at = 0; path[at] != '\0'; ++at) {
    const unsigned char c = static_cast<unsigned char>(path[at]);
    if (platform::IsCp932LeadByte(c) && path[at + 1] != '\0') {
      ++at;
    } else if (c == '\\' && at > 0) {
      found = at;
    }
  }
  return found;
}

void CopyPath(char* out, const char* source) {
  platform::Cp932CopyCut(out, source, kMaxPath);
}

}  // namespace

void ClearItemValues(ItemValues* values) {
  std::memset(values, 0, sizeof *values);
}

void FolderOf(const char* source, char* out) {
  CopyPath(out, source);
  const std::size_t at = LastSeparatorAt(out);
  if (at != 0) out[at] = '\0';
}

void NameOf(const char* source, char* out) {
  const std::size_t at = LastSeparatorAt(source);
  if (at != 0) CopyPath(out, source + at + 1);
}

bool EndsWithSeparator(const char* path) {
  char last = '\0';
  for (std::size_t at = 0; path[at] != '\0'; ++at) {
    if (platform::IsCp932LeadByte(static_cast<unsigned char>(path[at])) && path[at + 1] != '\0') {
      last = '\0';  // a double-byte character is never a separator
      ++at;
    } else {
      last = path[at];
    }
  }
  return last == '\\' || last == ':';
}

bool IsShortcutPath(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length < 4) return false;
  const char* tail = path + length - 4;
  return std::strcmp(tail, ".lnk") == 0 || std::strcmp(tail, ".Lnk") == 0 ||
         std::strcmp(tail, ".LNK") == 0;
}

void PlainFileValues(const char* path, ItemValues* out) {
  ClearItemValues(out);
  CopyPath(out->target, path);
  CopyPath(out->iconFile, path);
  FolderOf(path, out->workDir);
  NameOf(path, out->title);
}

void CompleteShortcutValues(ItemValues* values, const char* systemDirectory) {
  if (values->title[0] == '\0') NameOf(values->target, values->title);
  if (values->workDir[0] == '\0') FolderOf(values->target, values->workDir);
  if (values->iconFile[0] != '\0') return;
  CopyPath(values->iconFile, values->target);
  values->iconIndex = 0;
  if (values->iconFile[0] == '\0' || !EndsWithSeparator(values->iconFile)) return;
  const char kShell32[] = "\\shell32.dll";
  if (std::strlen(systemDirectory) + sizeof kShell32 > sizeof values->iconFile) return;
  std::strcpy(values->iconFile, systemDirectory);
  std::strcat(values->iconFile, kShell32);
  values->iconIndex = 8;
}
