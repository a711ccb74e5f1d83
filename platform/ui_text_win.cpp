#include "platform/ui_text.h"

#include <cstring>

#include "platform/cp932.h"
#include "platform/wide_names.h"

namespace platform {
namespace {

// A typed text of any length fits here once written: each UTF-16 unit that
// code page 932 writes takes at most two bytes.
constexpr std::size_t kFieldBytes = 2 * kWideTextUnits;

// `wide` as GetDialogText leaves it in `out`.
bool TextOf(const wchar_t* wide, char* out, std::size_t outBytes) {
  char whole[kFieldBytes];
  const bool written = Cp932Of(wide, whole, sizeof whole);
  if (!written) ShownCp932Name(wide, whole);
  Cp932CopyCut(out, whole, outBytes - 1);
  return written;
}

}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxW(owner, WideText(text).get(), WideText(caption).get(), type);
}

void SetDialogText(HWND dialog, int control, const char* text) {
  SetDlgItemTextW(dialog, control, WideText(text).get());
}

bool GetDialogText(HWND dialog, int control, char* out, std::size_t outBytes) {
  if (outBytes == 0) return false;
  wchar_t wide[kWideTextUnits] = L"";
  GetDlgItemTextW(dialog, control, wide, kWideTextUnits);
  return TextOf(wide, out, outBytes);
}

bool GetDialogPath(HWND dialog, int control, char* out) {
  wchar_t wide[kWideTextUnits] = L"";
  GetDlgItemTextW(dialog, control, wide, kWideTextUnits);
  if (TextOf(wide, out, MAX_PATH)) return true;
  char shortName[MAX_PATH];
  if (!Cp932PathOf(wide, shortName)) return false;
  std::memcpy(out, shortName, sizeof shortName);
  SetDialogText(dialog, control, out);
  return true;
}

const char kChosenNameUnwritable[] =
    "選んだファイルの名前に、このソフトでは扱えない文字が含まれています。"
    "名前を変えてから、もう一度選んでください。";

}  // namespace platform
