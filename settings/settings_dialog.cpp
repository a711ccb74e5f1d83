#include "settings/settings_dialog.h"

#include <commdlg.h>

#include <cstring>

#include "platform/file.h"
#include "platform/ui_text.h"
#include "resources/resource.h"
#include "settings/settings_dialog_rules.h"

namespace rules = settings_dialog_rules;

namespace {

const char kWarningCaption[] = "ホコからの警告";
const char kBrowseRefused[] = "指定されたファイルを読みこめませんでした。";
const char kWallpaperRefused[] = "指定された背景画像は存在しないか、\nあるいは表示が出来ません。";
const char kIconSizeRefused[] = "アイコンのサイズが指定範囲を超えています。";
const char kWallpaperUnwritable[] =
    "背景画像の名前に、このソフトでは扱えない文字が含まれています。";
const char kBitmapFilterName[] = "Bitmap (*.BMP)";
const char kBitmapPattern[] = "*.BMP";
// The file dialog takes at most this many characters of a chosen path.
constexpr DWORD kBrowseBufferChars = 128;

// The check box of each switch of the working copy.
struct Switch {
  int control;
  std::int32_t SettingsDialogState::*field;
};
const Switch kSwitches[] = {
    {IDC_SETTINGS_TOPMOST, &SettingsDialogState::TopMost},
    {IDC_SETTINGS_SMALL, &SettingsDialogState::Small},
    {IDC_SETTINGS_AREA, &SettingsDialogState::Area},
    {IDC_SETTINGS_STARTUP, &SettingsDialogState::Startup},
    {IDC_SETTINGS_LINE, &SettingsDialogState::Line},
    {IDC_SETTINGS_BITMAP, &SettingsDialogState::Bitmap},
};

SettingsDialogState* StateOf(HWND dialog) {
  return reinterpret_cast<SettingsDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void Warn(const SettingsDialogState& state, const char* text) {
  platform::ShowMessageBox(state.dialog, text, kWarningCaption, MB_OK);
}

void EnableWallpaperControls(HWND dialog, std::int32_t bitmap) {
  EnableWindow(GetDlgItem(dialog, IDC_SETTINGS_WALLPAPER), bitmap != 0);
  EnableWindow(GetDlgItem(dialog, IDC_SETTINGS_BROWSE), bitmap != 0);
}

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
  auto* state = reinterpret_cast<SettingsDialogState*>(lParam);
  SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  state->dialog = dialog;
  for (const Switch& s : kSwitches) {
    CheckDlgButton(dialog, s.control, static_cast<UINT>(state->*s.field));
  }
  state->IconSize = rules::IconSizeForCell(static_cast<std::int32_t>(state->IconSize));
  SetDlgItemInt(dialog, IDC_SETTINGS_ICON_SIZE, state->IconSize, FALSE);
  platform::SetDialogText(dialog, IDC_SETTINGS_WALLPAPER, state->Wallpaper);
  EnableWallpaperControls(dialog, state->Bitmap);
  return TRUE;
}

void OnBitmapClicked(HWND dialog, SettingsDialogState& state) {
  state.Bitmap = IsDlgButtonChecked(dialog, IDC_SETTINGS_BITMAP) == BST_CHECKED ? 1 : 0;
  EnableWallpaperControls(dialog, state.Bitmap);
}

void OnBrowse(HWND dialog, SettingsDialogState& state) {
  if (state.Bitmap == 0) return;
  // A cancelled or too long choice leaves the stored path alone, and so does a
  // file that has no name the program can keep. Without OFN_NOCHANGEDIR the
  // dialog would move the current directory, and a relative wallpaper path
  // would then name a file in another folder.
  const platform::FileChoice choice =
      platform::ChooseFile(dialog, kBitmapFilterName, kBitmapPattern, state.Wallpaper,
                           kBrowseBufferChars, OFN_HIDEREADONLY | OFN_NOCHANGEDIR);
  if (choice == platform::FileChoice::Cancelled) return;
  if (choice == platform::FileChoice::Unwritable) {
    Warn(state, platform::kChosenNameUnwritable);
  } else if (IsBmpFile(state.Wallpaper) == 1) {
    platform::SetDialogText(dialog, IDC_SETTINGS_WALLPAPER, state.Wallpaper);
  } else {
    Warn(state, kBrowseRefused);
  }
}

void OnOk(HWND dialog, SettingsDialogState& state) {
  for (const Switch& s : kSwitches) {
    state.*s.field = IsDlgButtonChecked(dialog, s.control) == BST_CHECKED ? 1 : 0;
  }
  // A path that code page 932 cannot write is never kept, whether the
  // background is shown or not.
  if (!platform::GetDialogPath(dialog, IDC_SETTINGS_WALLPAPER, state.Wallpaper)) {
    Warn(state, kWallpaperUnwritable);
    return;
  }
  if (state.Bitmap != 0 && IsBmpFile(state.Wallpaper) != 1) {
    Warn(state, kWallpaperRefused);
    return;
  }
  char text[32] = "";
  platform::GetDialogText(dialog, IDC_SETTINGS_ICON_SIZE, text, sizeof text);
  std::int32_t cellSize = 0;
  if (!rules::CellSizeFor(rules::ReadIconSize(text), &cellSize)) {
    SetFocus(GetDlgItem(dialog, IDC_SETTINGS_ICON_SIZE));
    Warn(state, kIconSizeRefused);
    return;
  }
  state.IconSize = static_cast<std::uint32_t>(cellSize);
  EndDialog(dialog, IDOK);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
  SettingsDialogState* state = StateOf(dialog);
  if (state == nullptr) return FALSE;
  switch (LOWORD(wParam)) {
    case IDC_SETTINGS_BITMAP:
      OnBitmapClicked(dialog, *state);
      return TRUE;
    case IDC_SETTINGS_BROWSE:
      OnBrowse(dialog, *state);
      return TRUE;
    case IDOK:
      OnOk(dialog, *state);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;  // the other check boxes tick themselves
  }
}

void FillFrom(const PanelSettings& s, SettingsDialogState* state) {
  std::memset(state, 0, sizeof *state);
  state->TopMost = s.TopMost;
  state->Small = s.Small;
  state->Area = s.Area;
  state->Startup = s.Startup;
  state->Bitmap = s.Bitmap;
  state->Line = s.Line;
  std::memcpy(state->Wallpaper, s.Wallpaper, sizeof state->Wallpaper);
  state->Wallpaper[sizeof state->Wallpaper - 1] = '\0';
  state->IconSize = static_cast<std::uint32_t>(s.IconSize);
  state->Left = s.Left;
  state->Top = s.Top;
  state->Right = s.Right;
  state->Bottom = s.Bottom;
}

void CopyBack(const SettingsDialogState& state, PanelSettings* s) {
  s->TopMost = state.TopMost;
  s->Small = state.Small;
  s->Area = state.Area;
  s->Startup = state.Startup;
  s->Bitmap = state.Bitmap;
  s->Line = state.Line;
  s->IconSize = static_cast<std::int32_t>(state.IconSize);
  std::memcpy(s->Wallpaper, state.Wallpaper, sizeof s->Wallpaper);
  s->Left = state.Left;
  s->Top = state.Top;
  s->Right = state.Right;
  s->Bottom = state.Bottom;
}

}  // namespace

int RunSettingsDialog(PanelSettings& settings, HINSTANCE instance, HWND owner) {
  SettingsDialogState state;
  FillFrom(settings, &state);
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                                         SettingsDialogProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return 0;
  CopyBack(state, &settings);
  return settings.Save() == 1 ? 1 : 2;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, lParam);
    case WM_COMMAND:
      return OnCommand(dialog, wParam);
    case WM_DESTROY:
      return TRUE;
    default:
      return FALSE;
  }
}

int IsBmpFile(const char* path) {
  platform::File file;
  if (!file.Open(path, platform::OpenMode::ReadExisting)) return 0;
  unsigned char header[54] = {};
  const std::size_t read = file.ReadAt(0, header, sizeof header);
  return settings_dialog_rules::HasBitmapMark(header, read) ? 1 : 0;
}
