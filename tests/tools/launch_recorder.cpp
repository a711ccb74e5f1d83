// launch_recorder.exe: a stand-in program for launch tests.
//
// Started by anything (the shell, a test, the real launcher), it records how it
// was started and exits at once. The record goes to the file named by the
// environment variable NUBO_LAUNCH_RECORD, or without it to launch_record.txt
// beside the program. Two lines, CR LF each, code page of the process:
//   1. the whole command line as GetCommandLineA gives it;
//   2. the current directory at start.
// The record is written to a temporary name and then renamed, so a test that
// waits for the file (with a deadline) never reads half of it. Delete the
// record before the launch under test.
#include <windows.h>

#include <cstring>

namespace {

void RecordPath(char* out, DWORD size) {
  if (GetEnvironmentVariableA("NUBO_LAUNCH_RECORD", out, size) - 1 < size - 1) return;
  DWORD length = GetModuleFileNameA(nullptr, out, size);
  if (length == 0 || length >= size) {
    out[0] = '\0';
    return;
  }
  // The name goes after the last backslash, found walking characters: a trail
  // byte 0x5C is no separator.
  size_t nameAt = 0;
  for (size_t at = 0; out[at] != '\0'; ++at) {
    if (IsDBCSLeadByte(static_cast<BYTE>(out[at])) && out[at + 1] != '\0') {
      ++at;
    } else if (out[at] == '\\') {
      nameAt = at + 1;
    }
  }
  const char kName[] = "launch_record.txt";
  if (nameAt + sizeof kName > size) {
    out[0] = '\0';
    return;
  }
  std::memcpy(out + nameAt, kName, sizeof kName);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  static char text[4 * MAX_PATH + 64];
  char directory[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof directory, directory);
  const char* commandLine = GetCommandLineA();
  const size_t used = std::strlen(commandLine) + std::strlen(directory) + 16;
  if (used >= sizeof text) return 2;
  std::strcpy(text, commandLine);
  std::strcat(text, "\r\n");
  std::strcat(text, directory);
  std::strcat(text, "\r\n");

  char path[MAX_PATH];
  RecordPath(path, sizeof path);
  if (path[0] == '\0' || std::strlen(path) + 5 > sizeof path) return 1;
  char temporary[MAX_PATH];
  std::strcpy(temporary, path);
  std::strcat(temporary, ".tmp");
  const HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
  CloseHandle(file);
  if (!ok) return 1;
  return MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
