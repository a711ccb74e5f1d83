// Reading a shell shortcut (.lnk) through the shell-link object. COM must be
// initialised on the calling thread.
#pragma once

#include <cstdint>

// Reads description, target, working folder and icon location of a shortcut
// into 260-byte buffers, in that order, stopping at the first query that does
// not answer S_OK: what was read before stays, the rest is not touched.
// 1 when every field was read, 0 when it stopped early.
int ReadShortcut(const char* shortcutPath, char* title, char* target, char* workDir, char* iconFile,
                 std::uint16_t* iconIndex);
