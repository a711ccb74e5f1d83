#include "settings/ini_text.h"

#include <cstring>

#include "platform/cp932.h"

namespace ini {

namespace {

// True for a blank: tab to carriage return, space and ^Z (an end-of-file
// mark some editors leave). All single bytes below any trail byte.
bool IsBlank(char c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

// The bytes of the character at `at`: two for a lead byte with a byte after
// it before `limit`. Characters are walked, never bytes: a trail byte can
// look like ']' or '\'.
std::size_t CharAt(std::string_view s, std::size_t at, std::size_t limit) {
  return platform::IsCp932LeadByte(static_cast<unsigned char>(s[at])) && at + 1 < limit ? 2 : 1;
}

// The end of the last character of [from, to) that is not blank; `from` when
// all are.
std::size_t TrimmedEnd(std::string_view s, std::size_t from, std::size_t to) {
  std::size_t end = from;
  for (std::size_t at = from; at < to;) {
    const bool blank = IsBlank(s[at]);
    at += CharAt(s, at, to);
    if (!blank) end = at;
  }
  return end;
}

std::size_t SkipBlanks(std::string_view s, std::size_t at, std::size_t to) {
  while (at < to && IsBlank(s[at])) ++at;
  return at;
}

enum class Kind { Blank, Section, Key };

// One line: its bytes [begin, end), its break (CR LF, CR or LF) up to `next`,
// and what it says.
struct Line {
  std::size_t begin = 0, end = 0, next = 0;
  Kind kind = Kind::Blank;
  std::string_view name;  // the section's or the key's
  bool hasValue = false;  // a key with '='
  std::size_t valueBegin = 0, valueEnd = 0;
};

Line LineAt(std::string_view s, std::size_t at) {
  Line line;
  line.begin = at;
  line.end = at;
  while (line.end < s.size() && s[line.end] != '\r' && s[line.end] != '\n') ++line.end;
  line.next = line.end;
  if (line.next < s.size() && s[line.next] == '\r') ++line.next;
  if (line.next < s.size() && s[line.next] == '\n') ++line.next;
  const std::size_t b = SkipBlanks(s, line.begin, line.end);
  const std::size_t e = TrimmedEnd(s, b, line.end);
  if (b == e) return line;
  std::size_t close = e, equals = e;
  for (std::size_t c = b; c < e; c += CharAt(s, c, e)) {
    if (s[c] == ']') close = c;
    if (s[c] == '=' && equals == e) equals = c;
  }
  if (s[b] == '[' && close != e) {
    line.kind = Kind::Section;
    const std::size_t name = SkipBlanks(s, b + 1, close);
    line.name = s.substr(name, TrimmedEnd(s, name, close) - name);
    return line;
  }
  line.kind = Kind::Key;
  line.name = s.substr(b, TrimmedEnd(s, b, equals) - b);
  line.hasValue = equals != e;
  line.valueBegin = line.hasValue ? SkipBlanks(s, equals + 1, e) : e;
  line.valueEnd = e;
  return line;
}

// A digit of any base up to 36 (0-9, then letters of either case); 99 for
// anything else.
std::uint32_t DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c >= 'a' && c <= 'z') return static_cast<std::uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint32_t>(c - 'A' + 10);
  return 99;
}

// Names compare with ASCII letters folded. `wanted` is ASCII, so a trail byte
// of the text can never pair with one of its characters.
bool NameIs(std::string_view name, const char* wanted) {
  if (name.size() != std::strlen(wanted)) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (fold(name[i]) != fold(wanted[i])) return false;
  }
  return true;
}

// Where a key is, or where it would go.
struct Place {
  bool sectionFound = false;
  bool keyFound = false;
  Line key;
  // After the last line of the section (its header when it has no other):
  // a new key goes there, after a line break when that line has none.
  std::size_t insertAt = 0;
  bool breakNeeded = false;
};

Place Locate(std::string_view s, const char* section, const char* key) {
  Place place;
  bool inSection = false;
  for (std::size_t at = 0; at < s.size();) {
    const Line line = LineAt(s, at);
    at = line.next;
    if (line.kind == Kind::Section) {
      if (inSection) break;  // only the first section of the name counts
      inSection = place.sectionFound = NameIs(line.name, section);
    } else if (!inSection || line.kind == Kind::Blank) {
      continue;
    } else if (NameIs(line.name, key)) {
      place.keyFound = true;
      place.key = line;
      return place;
    }
    place.insertAt = line.next;
    place.breakNeeded = line.next == line.end;
  }
  return place;
}

}  // namespace

bool FindValue(std::string_view text, const char* section, const char* key,
               std::string_view* value) {
  const Place place = Locate(text, section, key);
  if (!place.keyFound || !place.key.hasValue) return false;
  std::string_view v = text.substr(place.key.valueBegin, place.key.valueEnd - place.key.valueBegin);
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) {
    v = v.substr(1, v.size() - 2);
  }
  *value = v;
  return true;
}

std::int32_t ReadInt(std::string_view text, const char* section, const char* key,
                     std::int32_t fallback) {
  std::string_view v;
  if (!FindValue(text, section, key, &v) || v.empty()) return fallback;
  // The profile functions look at no more than 29 characters.
  std::size_t end = 0;
  for (int chars = 0; chars < 29 && end < v.size(); ++chars) end += CharAt(v, end, v.size());
  std::size_t at = 0;
  while (at < end && static_cast<unsigned char>(v[at]) <= ' ') ++at;
  const bool minus = at < end && v[at] == '-';
  if (at < end && (v[at] == '-' || v[at] == '+')) ++at;
  // "0x", "0o" and "0b" (small letters only) change the base.
  std::uint32_t base = 10;
  if (end - at >= 2 && v[at] == '0') {
    const char letter = v[at + 1];
    base = letter == 'x' ? 16 : letter == 'o' ? 8 : letter == 'b' ? 2 : 10;
    if (base != 10) at += 2;
  }
  std::uint32_t total = 0;
  for (; at < end; ++at) {
    const std::uint32_t digit = DigitValue(v[at]);
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<std::int32_t>(minus ? 0u - total : total);
}

void ReadString(std::string_view text, const char* section, const char* key, const char* fallback,
                char* out, std::size_t size) {
  if (size == 0) return;
  std::string_view v;
  if (!FindValue(text, section, key, &v)) v = fallback;
  std::size_t n = 0;
  while (n < v.size()) {
    const std::size_t c = CharAt(v, n, v.size());
    if (n + c + 1 > size) break;
    n += c;
  }
  std::memcpy(out, v.data(), n);
  out[n] = '\0';
}

// Strings are built from pointers and lengths: a string made from a
// string_view would pull the library's wide strings into the program.
void SetValue(std::string* text, const char* section, const char* key, std::string_view value) {
  const Place place = Locate(*text, section, key);
  if (place.keyFound) {
    std::size_t at = place.key.valueBegin;
    if (!place.key.hasValue) text->insert(at++, 1, '=');
    text->replace(at, place.key.valueEnd - place.key.valueBegin, value.data(), value.size());
    return;
  }
  std::string lines;
  if (!place.sectionFound) {
    const bool broken = text->empty() || text->back() == '\r' || text->back() == '\n';
    lines.append(broken ? "" : "\r\n").append("[").append(section).append("]\r\n");
  } else if (place.breakNeeded) {
    lines = "\r\n";
  }
  lines.append(key).append("=").append(value.data(), value.size()).append("\r\n");
  text->insert(place.sectionFound ? place.insertAt : text->size(), lines);
}

}  // namespace ini
