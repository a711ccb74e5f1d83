// One launcher per data folder. A start claims its folder through a named
// mutex derived from the folder's full path (the kernel releases it when the
// process ends, however it ends, so a crashed launcher never blocks the next
// start) and publishes its process id in a small named mapping. A start that
// finds the folder claimed looks for that process's main window and posts it
// the registered message instance::kShowPanelMessage.
#pragma once

#include <windows.h>

enum class FolderClaim {
  Claimed,     // this process is the folder's launcher
  OtherShown,  // another one runs there and was asked to show its panel
  OtherBusy,   // another one holds the folder but showed no window in time
};

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Claims `folder` (a full path) or hands over to the launcher running there,
  // waiting at most `waitMs` for that one's main window (or for it to end).
  // Touches no file. The claim lasts as long as this object.
  FolderClaim Claim(const char* folder, DWORD waitMs);
  // Ends the claim before this object does: a start in the folder then
  // claims it at once.
  void Release();

 private:
  void Publish(const char* name);
  HANDLE mutex_ = nullptr;
  HANDLE owner_ = nullptr;  // the mapping that holds the process id
  bool held_ = false;
};

// The message that asks a launcher to bring its panel to the front.
UINT ShowPanelMessage();

// The main window ("Nubotesa") of process `pid`, or null.
HWND FindLauncherWindow(DWORD pid);
