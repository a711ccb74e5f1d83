// The text of a settings (INI) file, read and changed as the private-profile
// functions of Windows read and change it, without them: they hand the file
// to the system's code page, and this program's file is code page 932 on
// every system. Byte strings in code page 932; no window system here.
//
// Reading follows the profile functions: lines end at CR or LF; blanks at
// both ends of a line, around a key's name and before its value are not
// part of them; "[name]" starts a section (the name runs to the line's last
// ']'); other lines are "name=value" keys, or names without a value. Section
// and key names compare without regard to ASCII case; only the first section
// of a name is looked at, and in it the first key of a name. A value enclosed
// in a matching pair of quotes (" or ') is read without them.
//
// Changing keeps every byte of the text that is not the value changed: a key
// of the section gets its new value in place, a missing key is added after
// the section's last line, a missing section at the end of the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ini {

// The value of `key` in `section`, quotes taken off. False when the section
// or the key is missing, or the key has no '=' (the profile functions then
// give the caller's default).
bool FindValue(std::string_view text, const char* section, const char* key,
               std::string_view* value);

// The value read as GetPrivateProfileInt reads it: `fallback` when the key is
// missing or its value empty; otherwise, from the value's first 29
// characters, control characters and spaces skipped, one sign, then digits
// up to the first other character (decimal, or after "0x", "0o" or "0b" of
// that base), kept modulo 2^32 (so "4294967297" reads as 1 and "12abc" as 12;
// no digits read as 0).
std::int32_t ReadInt(std::string_view text, const char* section, const char* key,
                     std::int32_t fallback);

// The value (or `fallback` when FindValue finds none) into `out`, `size`
// bytes with the terminator, cut before a character that would not fit.
void ReadString(std::string_view text, const char* section, const char* key, const char* fallback,
                char* out, std::size_t size);

// Gives `key` of `section` the value `value` (one line of text), adding the
// key or the section as needed; new lines end in CR LF.
void SetValue(std::string* text, const char* section, const char* key, std::string_view value);

}  // namespace ini
