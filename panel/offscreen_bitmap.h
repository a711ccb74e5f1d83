// A bitmap with its own memory device context, for pictures kept off screen.
#pragma once

#include <windows.h>

#include "platform/win_handles.h"

class OffscreenBitmap {
 public:
  OffscreenBitmap() = default;
  ~OffscreenBitmap() { Reset(); }
  OffscreenBitmap(const OffscreenBitmap&) = delete;
  OffscreenBitmap& operator=(const OffscreenBitmap&) = delete;

  // Makes the bitmap `width` x `height` pixels in the format of `like`,
  // keeping the present one when it has that size already. False when it
  // cannot be made; the bitmap is then gone.
  bool Resize(HDC like, int width, int height);
  void Reset();

  HDC dc() const { return dc_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  explicit operator bool() const { return static_cast<bool>(bitmap_); }

 private:
  platform::OwnedMemoryDc dc_;
  platform::OwnedBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
