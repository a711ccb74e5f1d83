// Small move-only owners for Win32 handles. The object that created a handle
// owns it and releases it; each kind counts its live handles, because Wine's
// GetGuiResources always answers 0 and cannot show a leak.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace platform {

template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;

  Owned() = default;
  explicit Owned(Handle h) : handle_(h) {
    if (handle_ != nullptr) ++live_;
  }
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(other.release()) {
    if (handle_ != nullptr) ++live_;
  }
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Gives up ownership without releasing the handle.
  Handle release() {
    Handle h = handle_;
    if (h != nullptr) --live_;
    handle_ = nullptr;
    return h;
  }

  void reset(Handle h = nullptr) {
    if (handle_ != nullptr) {
      Traits::Close(handle_);
      --live_;
    }
    handle_ = h;
    if (handle_ != nullptr) ++live_;
  }

  // Handles of this kind currently owned, in the whole process.
  static int Live() { return live_; }

 private:
  Handle handle_ = nullptr;
  static inline int live_ = 0;
};

struct BrushTraits {
  using Handle = HBRUSH;
  static void Close(HBRUSH h) { DeleteObject(h); }
};
// Windows does not delete a palette still selected into a device context: one
// that was not deleted stays counted.
struct PaletteTraits {
  using Handle = HPALETTE;
  static inline int undeleted = 0;
  static void Close(HPALETTE h) { undeleted += DeleteObject(h) ? 0 : 1; }
};
struct BitmapTraits {
  using Handle = HBITMAP;
  static void Close(HBITMAP h) { DeleteObject(h); }
};
struct FontTraits {
  using Handle = HFONT;
  static void Close(HFONT h) { DeleteObject(h); }
};
struct MemoryDcTraits {
  using Handle = HDC;
  static void Close(HDC h) { DeleteDC(h); }
};
struct IconTraits {
  using Handle = HICON;
  static void Close(HICON h) { DestroyIcon(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static void Close(HMENU h) { DestroyMenu(h); }
};
struct ImageListTraits {
  using Handle = HIMAGELIST;
  static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct FileHandleTraits {
  using Handle = HANDLE;
  static void Close(HANDLE h) { CloseHandle(h); }
};

using OwnedBrush = Owned<BrushTraits>;
using OwnedPalette = Owned<PaletteTraits>;
using OwnedBitmap = Owned<BitmapTraits>;
using OwnedFont = Owned<FontTraits>;
using OwnedMemoryDc = Owned<MemoryDcTraits>;
using OwnedIcon = Owned<IconTraits>;
using OwnedMenu = Owned<MenuTraits>;
using OwnedImageList = Owned<ImageListTraits>;

// GDI objects (brushes, palettes, bitmaps, fonts, memory DCs) and USER objects
// (icons, menus) the program owns right now.
inline int LiveGdiObjects() {
  return OwnedBrush::Live() + OwnedPalette::Live() + PaletteTraits::undeleted +
         OwnedBitmap::Live() + OwnedFont::Live() + OwnedMemoryDc::Live();
}
inline int LiveUserObjects() {
  return OwnedIcon::Live() + OwnedMenu::Live();
}

// A device context of a window, released when the scope ends.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint/EndPaint for one paint message.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~PaintScope() { EndPaint(window_, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC get() const { return dc_; }
  const PAINTSTRUCT& info() const { return ps_; }

 private:
  HWND window_;
  PAINTSTRUCT ps_;
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectScope() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// COM interface pointer, released when the scope ends.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  Interface* get() const { return p_; }
  Interface* operator->() const { return p_; }
  // For functions that return a new interface through a pointer argument.
  void** put() {
    reset();
    return reinterpret_cast<void**>(&p_);
  }
  void reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }

 private:
  Interface* p_ = nullptr;
};

}  // namespace platform
