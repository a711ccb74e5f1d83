#include "items/shortcut_reader.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cwchar>

#include "platform/com_use.h"
#include "platform/wide_names.h"
#include "platform/win_handles.h"

namespace {

// Read-only, shared and transacted: what Windows expects of a link opened for
// reading. Wine 8 refuses any mode with STGM_TRANSACTED (E_INVALIDARG), so a
// refused load is tried once more without it.
constexpr DWORD kLoadMode = STGM_READ | STGM_SHARE_DENY_NONE | STGM_TRANSACTED;
constexpr DWORD kPlainLoadMode = STGM_READ | STGM_SHARE_DENY_NONE;

HRESULT LoadLink(IPersistFile* file, const wchar_t* path) {
  HRESULT result = file->Load(path, kLoadMode);
  if (result == E_INVALIDARG) result = file->Load(path, kPlainLoadMode);
  return result;
}

// A link written through the ANSI code page (Wine writes every link so) keeps
// a '?', which no file name has, for each character the code page lacks in its
// path; its item list still names the file.
void PathFromItemList(IShellLinkW* link, wchar_t* path) {
  if (std::wcschr(path, L'?') == nullptr) return;
  PIDLIST_ABSOLUTE list = nullptr;
  wchar_t named[MAX_PATH];
  if (link->GetIDList(&list) == S_OK && SHGetPathFromIDListW(list, named)) lstrcpyW(path, named);
  CoTaskMemFree(list);
}

int ReadFields(IShellLinkW* link, char* title, char* target, char* workDir, char* iconFile,
               std::uint16_t* iconIndex) {
  wchar_t text[MAX_PATH] = L"";
  if (link->GetDescription(text, 259) != S_OK) return 0;
  platform::ShownCp932Name(text, title);
  WIN32_FIND_DATAW found;
  if (link->GetPath(text, 259, &found, SLGP_UNCPRIORITY) != S_OK) return 0;
  PathFromItemList(link, text);
  if (!platform::Cp932PathOf(text, target)) return kShortcutUnwritable;
  if (link->GetWorkingDirectory(text, 259) != S_OK) return 0;
  if (!platform::Cp932PathOf(text, workDir)) return kShortcutUnwritable;
  int index = 0;
  if (link->GetIconLocation(text, 259, &index) != S_OK) return 0;
  if (!platform::Cp932PathOf(text, iconFile)) return kShortcutUnwritable;
  *iconIndex = static_cast<std::uint16_t>(index);
  return 1;
}

}  // namespace

int ReadShortcut(const char* shortcutPath, char* title, char* target, char* workDir, char* iconFile,
                 std::uint16_t* iconIndex) {
  platform::UseCom();
  platform::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IShellLinkW, link.put()))) {
    return 0;
  }
  platform::ComPtr<IPersistFile> file;  // released before the link on every path
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return 0;
  wchar_t widePath[260];
  if (!platform::WideOf(shortcutPath, widePath, 260)) return 0;
  if (widePath[0] == L'\0') return 0;
  if (LoadLink(file.get(), widePath) != S_OK) return 0;
  return ReadFields(link.get(), title, target, workDir, iconFile, iconIndex);
}
