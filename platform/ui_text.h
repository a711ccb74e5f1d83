// What the user interface shows and reads, handed to Windows in UTF-16 and
// kept by the program in code page 932 (the conversions are wide_names.h's).
// Message boxes, dialog fields and the file-open dialog. Windows only.
#pragma once

#include <windows.h>

#include <cstddef>

namespace platform {

// MessageBoxW with the program's text and caption; its answer.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Sets the text of a dialog's control.
void SetDialogText(HWND dialog, int control, const char* text);

// The text of a dialog's control in `out` (outBytes), cut as the field's
// buffer cuts it (never inside a character). False when the text holds a
// character that code page 932 cannot write: `out` then holds the text as it
// can be shown (ShownCp932Name), to compare and to show, never to keep.
bool GetDialogText(HWND dialog, int control, char* out, std::size_t outBytes);

// The text of a path field in `out` (260 bytes): the text itself when code
// page 932 writes it; otherwise the short (8.3) name of the existing file or
// folder it names, which then replaces the field's text so that the user sees
// what is kept. False when there is neither; `out` as GetDialogText leaves it.
bool GetDialogPath(HWND dialog, int control, char* out);

enum class FileChoice { Cancelled, Chosen, Unwritable };

// The file-open dialog, owned by `owner`, with one filter (its name and its
// pattern) and `path` (260 bytes) proposed when it fits into `capacity`
// characters. A chosen file lands in `path` by a name the program can keep
// (Cp932PathOf); Unwritable when it has none, and then `path` is unchanged,
// as it is when the user cancels or the name does not fit.
FileChoice ChooseFile(HWND owner, const char* filterName, const char* pattern, char* path,
                      DWORD capacity, DWORD flags);

// The box for an Unwritable choice: nothing is kept.
extern const char kChosenNameUnwritable[];

}  // namespace platform
