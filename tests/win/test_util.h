// Small helpers for Windows tests: message pumping with deadlines, writing a
// settings file, making BMP files and memory canvases.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/wide_names.h"

namespace testutil {

// A code-page-932 string of a test in UTF-16, for the wide calls: the tests'
// paths cross to Windows as the program's own do, on any code page.
inline std::wstring Wide(const std::string& text) {
  wchar_t wide[platform::kWideTextUnits];
  platform::WideOf(text.c_str(), wide, platform::kWideTextUnits);
  return wide;
}

// Text that Windows hands back, in code page 932 as the program converts it,
// so that the tests compare the same bytes whatever the system's code page.
inline std::string Cp932(const wchar_t* wide) {
  std::string out(2 * std::wcslen(wide) + 1, '\0');
  if (!platform::Cp932Of(wide, &out[0], out.size())) return "(not in code page 932)";
  out.resize(std::strlen(out.c_str()));
  return out;
}
// A short-name lookup that finds none, for platform::SetShortNameLookup: a
// file system that keeps no short names.
inline DWORD WINAPI NoShortName(LPCWSTR, LPWSTR, DWORD) {
  return 0;
}

inline std::string WindowText(HWND window) {
  wchar_t text[4096] = L"";
  GetWindowTextW(window, text, 4096);
  return Cp932(text);
}
inline std::string ItemText(HWND dialog, int id) {
  wchar_t text[4096] = L"";
  GetDlgItemTextW(dialog, id, text, 4096);
  return Cp932(text);
}
inline void SetItemText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, platform::WideText(text.c_str()).get());
}
// The visible dialog or message box with this caption.
inline HWND FindDialog(const char* caption) {
  return FindWindowW(L"#32770", platform::WideText(caption).get());
}

// Dispatches messages until `done` is true or `ms` milliseconds have passed;
// returns whether `done` became true.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return done();
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Runs a message loop until WM_QUIT and returns its exit code; -1 when no
// WM_QUIT came within `ms`.
inline int RunUntilQuit(DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (GetTickCount() - start > ms) return -1;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Makes a file of the current folder read-only (or writable again): the
// attribute, and the file system's immutable flag, as Wine, run as root,
// writes past the attribute (Wine starts the Unix tool without waiting for
// it). True when opening the file for writing is then refused (or allowed).
inline bool SetReadOnly(const std::string& name, bool on) {
  const char* path = name.c_str();
  SetFileAttributesA(path, on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
  WinExec(((on ? "Z:\\usr\\bin\\chattr +i " : "Z:\\usr\\bin\\chattr -i ") + name).c_str(), SW_HIDE);
  return PumpUntil(
      [&] {
        if (!on) SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        return (h == INVALID_HANDLE_VALUE) == on;
      },
      3000);
}

// Writes key=value lines into sections of an INI file in the current folder.
inline void WriteIni(const char* file, const char* section,
                     const std::vector<std::pair<std::string, std::string>>& values) {
  char path[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, path);
  std::string full = std::string(path) + "\\" + file;
  for (const auto& kv : values) {
    WritePrivateProfileStringA(section, kv.first.c_str(), kv.second.c_str(), full.c_str());
  }
}

inline int ReadIniInt(const char* file, const char* section, const char* key, int fallback) {
  char path[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, path);
  std::string full = std::string(path) + "\\" + file;
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, full.c_str()));
}

// A 24-bit bottom-up BMP file of `width` x `height` from rows given top-down
// as COLORREFs.
inline std::string Bmp24(int width, int height, const std::vector<COLORREF>& topDown) {
  const int stride = (width * 3 + 3) & ~3;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
  std::string bytes(54 + imageSize, '\0');
  auto put = [&](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put(2, static_cast<std::uint32_t>(bytes.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int row = 0; row < height; ++row) {
    const int fileRow = height - 1 - row;
    for (int x = 0; x < width; ++x) {
      const COLORREF c = topDown[static_cast<std::size_t>(row * width + x)];
      const std::size_t at = 54 + static_cast<std::size_t>(fileRow * stride + x * 3);
      bytes[at] = static_cast<char>(GetBValue(c));
      bytes[at + 1] = static_cast<char>(GetGValue(c));
      bytes[at + 2] = static_cast<char>(GetRValue(c));
    }
  }
  return bytes;
}

// A 32-bit top-down memory canvas whose pixels can be read back exactly.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  void Fill(COLORREF c) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToBits(c);
  }
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const std::uint32_t v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

 private:
  static std::uint32_t ToBits(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
  }
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  std::uint32_t* bits_ = nullptr;
};

inline std::string Rgb(COLORREF c) {
  return "(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
         std::to_string(GetBValue(c)) + ")";
}

}  // namespace testutil
