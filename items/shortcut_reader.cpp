#include "items/shortcut_reader.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

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

int ReadFields(IShellLinkA* link, char* title, char* target, char* workDir, char* iconFile,
               std::uint16_t* iconIndex) {
  if (link->GetDescription(title, 259) != S_OK) return 0;
  WIN32_FIND_DATAA found;
  if (link->GetPath(target, 259, &found, SLGP_UNCPRIORITY) != S_OK) return 0;
  if (link->GetWorkingDirectory(workDir, 259) != S_OK) return 0;
  int index = 0;
  if (link->GetIconLocation(iconFile, 259, &index) != S_OK) return 0;
  *iconIndex = static_cast<std::uint16_t>(index);
  return 1;
}

}  // namespace

int ReadShortcut(const char* shortcutPath, char* title, char* target, char* workDir, char* iconFile,
                 std::uint16_t* iconIndex) {
  platform::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IShellLinkA, link.put()))) {
    return 0;
  }
  platform::ComPtr<IPersistFile> file;  // released before the link on every path
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return 0;
  wchar_t widePath[260];
  if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED | MB_ERR_INVALID_CHARS, shortcutPath, -1, widePath,
                          260) == 0) {
    return 0;
  }
  if (widePath[0] == L'\0') return 0;
  if (LoadLink(file.get(), widePath) != S_OK) return 0;
  return ReadFields(link.get(), title, target, workDir, iconFile, iconIndex);
}
