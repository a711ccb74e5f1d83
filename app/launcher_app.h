// The application object: the main window, the tray icon and the panel.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>

#include "panel/launcher_panel.h"
#include "platform/win_handles.h"

// Pointer messages carry x and y as unsigned 16-bit values: a point left of or
// above the client area arrives as a large positive number.
inline std::uint32_t LowWord(LPARAM lParam) {
  return static_cast<std::uint32_t>(lParam) & 0xFFFF;
}
inline std::uint32_t HighWord(LPARAM lParam) {
  return (static_cast<std::uint32_t>(lParam) >> 16) & 0xFFFF;
}

// The tray icon's callback message.
constexpr UINT kTrayMessage = WM_USER + 1000;

class LauncherApp {
 public:
  LauncherApp();
  virtual ~LauncherApp();
  LauncherApp(const LauncherApp&) = delete;
  LauncherApp& operator=(const LauncherApp&) = delete;

  // Creates the main window hidden, adds the tray icon and initialises the
  // panel. 1 on success, 0 on failure.
  int Start(HINSTANCE moduleInstance);
  HWND CreateMainWindow();

  // Command surface (app_commands.cpp).
  void OnCommand(WPARAM wParam);
  void OnTrayNotify(LPARAM lParam);
  void OnContextMenu(WPARAM wParam, LPARAM lParam);
  void OnDropFiles(HDROP drop);
  // WM_CLOSE: ends an open dialog or message box as Cancel first, then closes.
  void OnClose();

  // The dialog or message box of this program that takes the input now (the
  // innermost of a nested pair), or null when none is open.
  HWND OpenModalWindow() const;

  // Adds the tray icon again after the shell has restarted.
  void OnTaskbarCreated();
  // Tries again to add a tray icon the shell did not take at start (its tray
  // was not ready yet): a hidden panel is reached through it alone.
  static constexpr UINT_PTR kTrayRetryTimerId = 5002;
  void RetryTrayIcon();

  HINSTANCE Instance() const { return instance; }
  HWND MainWindow() const { return mainWindow; }
  LauncherPanel& Panel() { return panel; }
  const NOTIFYICONDATAW* TrayRecord() const { return trayIcon.get(); }

 private:
  void AddTrayIcon();
  void RemoveTrayIcon();
  bool BringOpenModalForward() const;

  LauncherPanel panel;
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  std::unique_ptr<NOTIFYICONDATAW> trayIcon;
  platform::OwnedIcon trayIconImage;
  int closeRounds = 0;  // modal windows cancelled on the way to a close
  int trayRetries = 0;
};

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
