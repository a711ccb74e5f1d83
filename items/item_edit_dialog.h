// The item edit dialog (resource 104): the four strings of one item and the
// choice of its icon among the icons of the icon file.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/win_handles.h"

// The last icon of a file that can be chosen; the list shows no more.
constexpr std::uint16_t kMaxIconIndex = 2048;

// The working copy that EditItem and the dialog share while the dialog runs.
struct ItemEditState {
  HINSTANCE instance = nullptr;  // loads icon 107 and extracts icons
  HWND dialog = nullptr;
  HWND listView = nullptr;             // control 1105
  platform::OwnedImageList imageList;  // the images behind the list, while it has any
  std::uint32_t iconCount = 0;         // icons the icon file reports (0: associated icon)
  char title[260] = "";
  char target[260] = "";
  char workDir[260] = "";
  char iconFile[260] = "";
  std::uint16_t iconIndex = 0;
  platform::OwnedIcon shownIcon;  // the copy of a list image that 1106 shows
};

// The dialog procedure; the state arrives as the dialog's creation parameter.
INT_PTR CALLBACK ItemEditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Reads the four fields and checks them in order; the first failure is
// reported with its field focused and selected. Then an icon must be chosen
// among the first 2,049. 1 when everything is acceptable.
int ValidateItemEdit(ItemEditState* state);

// Shows image `index` of the icon list in control 1106, when there is one.
void ShowListImage(ItemEditState* state, int index);
// Fills the icon list from the icon file and selects icon `iconIndex`.
void BuildIconList(ItemEditState* state);
// Empties the icon list, frees its images and blanks the current icon.
void ReleaseIconList(ItemEditState* state);
// Lets the user pick an icon file with the file-open dialog.
void BrowseIconFile(ItemEditState* state);
// True when the file yields an icon of its own, not one of an associated
// program.
bool IsIconFile(const ItemEditState* state, const char* path);
// True when the path names something that exists: a file or folder, or a
// drive root (a path ending in a backslash or a colon that names a drive).
bool PathExists(const char* path);
