#include "panel/offscreen_bitmap.h"

bool OffscreenBitmap::Resize(HDC like, int width, int height) {
  if (bitmap_ && width == width_ && height == height_) return true;
  Reset();
  if (width <= 0 || height <= 0) return false;
  dc_.reset(CreateCompatibleDC(like));
  bitmap_.reset(CreateCompatibleBitmap(like, width, height));
  if (!dc_ || !bitmap_) {
    Reset();
    return false;
  }
  previous_ = SelectObject(dc_.get(), bitmap_.get());
  width_ = width;
  height_ = height;
  return true;
}

void OffscreenBitmap::Reset() {
  if (dc_ && previous_ != nullptr) SelectObject(dc_.get(), previous_);
  previous_ = nullptr;
  bitmap_.reset();
  dc_.reset();
  width_ = height_ = 0;
}
