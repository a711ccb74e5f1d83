// launch_recorder.exe: a stand-in program for launch tests.
//
// Started by anything (the shell, a test, the real launcher), it records how it
// was started and exits at once. The record goes to the file named by the
// environment variable NUBO_LAUNCH_RECORD, or without it to launch_record.txt
// beside the program. Two lines, CR LF each, in code page 932 whatever the
// process's code page (a character it lacks becomes '?'):
//   1. the whole command line;
//   2. the current directory at start.
// The record is written to a temporary name and then renamed, so a test that
// waits for the file (with a deadline) never reads half of it. Delete the
// record before the launch under test.
#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

constexpr UINT kCp932 = 932;

void RecordPath(wchar_t* out, DWORD size) {
  if (GetEnvironmentVariableW(L"NUBO_LAUNCH_RECORD", out, size) - 1 < size - 1) return;
  DWORD length = GetModuleFileNameW(nullptr, out, size);
  const wchar_t* slash = length > 0 && length < size ? std::wcsrchr(out, L'\\') : nullptr;
  const wchar_t kName[] = L"launch_record.txt";
  if (slash == nullptr || (slash + 1 - out) + sizeof kName / sizeof kName[0] > size) {
    out[0] = L'\0';
    return;
  }
  std::wcscpy(out + (slash + 1 - out), kName);
}

// Appends `text` in code page 932 and a line end to `out` (`size` bytes).
// Plain C library only: the program is copied into folders without the C++
// runtime's DLLs.
bool AppendLine(char* out, std::size_t size, const wchar_t* text) {
  const std::size_t used = std::strlen(out);
  const int n = WideCharToMultiByte(kCp932, 0, text, -1, out + used, static_cast<int>(size - used),
                                    nullptr, nullptr);
  if (n <= 0 || used + static_cast<std::size_t>(n) + 2 > size) return false;
  std::strcat(out, "\r\n");
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t directory[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, directory);
  static char text[4 * MAX_PATH + 64];
  if (!AppendLine(text, sizeof text, GetCommandLineW()) ||
      !AppendLine(text, sizeof text, directory)) {
    return 2;
  }

  wchar_t path[MAX_PATH];
  RecordPath(path, MAX_PATH);
  if (path[0] == L'\0' || std::wcslen(path) + 5 > MAX_PATH) return 1;
  wchar_t temporary[MAX_PATH];
  std::wcscpy(temporary, path);
  std::wcscat(temporary, L".tmp");
  const HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
  CloseHandle(file);
  if (!ok) return 1;
  return MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
