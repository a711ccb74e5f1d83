#include "app/instance_name.h"

#include <cstdint>

#include "platform/cp932.h"

namespace instance {

std::string FoldFolder(const char* folder) {
  std::string folded;
  std::size_t end = 0;  // the length without trailing separators
  for (const char* p = folder; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (platform::IsCp932LeadByte(c) && p[1] != '\0') {
      // A double-byte character, whose trail byte may look like '\' or a letter.
      folded += *p++;
      folded += *p;
      end = folded.size();
      continue;
    }
    const char f = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c == '/' ? '\\' : *p;
    folded += f;
    if (f != '\\') end = folded.size();
  }
  // "C:\" keeps its separator, and so does "\" alone.
  if (end == 2 && folded.size() > 2 && folded[1] == ':') end = 3;
  if (end == 0 && !folded.empty()) end = 1;
  folded.resize(end);
  return folded;
}

std::string InstanceName(const char* folder) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : FoldFolder(folder)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  static const char kDigits[] = "0123456789abcdef";
  std::string name = "NuboTesa.";
  for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
  return name;
}

}  // namespace instance
