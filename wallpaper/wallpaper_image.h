// The panel's wallpaper: a BMP file held in memory with a BITMAPINFO copy of
// its header and colour table, and a palette for pictures of 1 to 8 bits.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "platform/win_handles.h"
#include "settings/panel_settings.h"
#include "wallpaper/bmp_file.h"

struct WallpaperImage {
  // Made from the colour table when the picture has one and CreatePalette
  // succeeded.
  platform::OwnedPalette Palette;
  // The file from offset 14 (the info header) to bfSize.
  std::unique_ptr<std::uint8_t[]> FileData;
  // The pixel array inside FileData (file offset bfOffBits); null while
  // nothing is loaded.
  const std::uint8_t* Pixels = nullptr;
  // A BITMAPINFO: the first 40 bytes of the file's header (biSize 40,
  // biClrUsed holding the colour count: 2^bits for 1 to 8 bits, else 0), then
  // that many RGBQUADs (black where the file's table is shorter), or the three
  // masks of a bit-field picture. biHeight keeps its sign: below 0 the rows
  // are stored top-down.
  std::unique_ptr<std::uint8_t[]> Info;
};

// Loads the BMP file at `path` (zero-terminated, at most 260 bytes are
// looked at) into `image` when settings.Bitmap is 1. The header is checked
// and, for run-length pictures, its codes are checked before anything changes;
// an accepted file's path becomes settings.Wallpaper and the settings file is
// saved. Failures are
// shown in message boxes owned by `owner`, captioned "Error". Returns 1 when a
// picture was loaded; on 0 the previous picture is still held.
int LoadWallpaper(WallpaperImage& image, PanelSettings& settings, HWND owner, const char* path);

// Releases the picture and its palette; safe when nothing is loaded.
void FreeWallpaper(WallpaperImage& image);

// Replaces image.Palette by one made from the colour table in FileData. When
// CreatePalette fails, says so in a message box owned by `owner`; the picture
// then goes without a palette.
void BuildWallpaperPalette(WallpaperImage& image, const bmp::Layout& layout, HWND owner);

// Fills Info after its header from FileData: the colour entries (reserved
// byte 0) or the bit-field masks.
void CopyColourTable(WallpaperImage& image, const bmp::Layout& layout);
