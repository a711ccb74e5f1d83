// The file-open dialog, apart from the other texts of the user interface so
// that only the programs that browse load the common dialogs.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <cwchar>

#include "platform/com_use.h"
#include "platform/ui_text.h"
#include "platform/wide_names.h"

namespace platform {
namespace {

// The filter as the dialog reads it: its name, its pattern, then an empty
// string that ends the list.
bool FilterOf(const char* name, const char* pattern, wchar_t* out, std::size_t units) {
  if (!WideOf(name, out, units)) return false;
  const std::size_t at = std::wcslen(out) + 1;
  if (at + 1 >= units || !WideOf(pattern, out + at, units - at - 1)) return false;
  out[at + std::wcslen(out + at) + 1] = L'\0';
  return true;
}

}  // namespace

FileChoice ChooseFile(HWND owner, const char* filterName, const char* pattern, char* path,
                      DWORD capacity, DWORD flags) {
  wchar_t filter[128];
  wchar_t chosen[MAX_PATH] = L"";
  if (capacity > MAX_PATH) capacity = MAX_PATH;
  if (!FilterOf(filterName, pattern, filter, 128)) filter[0] = filter[1] = L'\0';
  // A proposal that does not fit is left out rather than cut (WideOf empties it).
  WideOf(path, chosen, capacity);
  OPENFILENAMEW open = {};
  open.lStructSize = sizeof open;
  open.hwndOwner = owner;
  open.lpstrFilter = filter;
  open.nFilterIndex = 1;
  open.lpstrFile = chosen;
  open.nMaxFile = capacity;
  open.Flags = flags;
  UseCom();
  if (!GetOpenFileNameW(&open)) return FileChoice::Cancelled;
  char name[MAX_PATH];
  if (!Cp932PathOf(chosen, name)) return FileChoice::Unwritable;
  std::memcpy(path, name, sizeof name);
  return FileChoice::Chosen;
}

}  // namespace platform
