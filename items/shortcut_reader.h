// Reading a shell shortcut (.lnk) through the shell-link object. COM must be
// initialised on the calling thread.
#pragma once

#include <cstdint>

// Reads description, target, working folder and icon location of a shortcut
// into 260-byte buffers, in that order, stopping at the first query that does
// not answer S_OK: what was read before stays, the rest is not touched.
// The link is read in UTF-16: each path it names is kept in code page 932 as the
// program finds it (exactly, or by its short name), the description with the
// characters code page 932 lacks replaced.
// 1 when every field was read, 0 when it stopped early, kShortcutUnwritable
// when it names a path that can be written neither way: nothing of such a
// link may be stored.
constexpr int kShortcutUnwritable = -1;
int ReadShortcut(const char* shortcutPath, char* title, char* target, char* workDir, char* iconFile,
                 std::uint16_t* iconIndex);
