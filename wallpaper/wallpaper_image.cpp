#include "wallpaper/wallpaper_image.h"

#include <cstring>
#include <new>
#include <utility>

#include "platform/file.h"
#include "platform/ui_text.h"

namespace {

constexpr char kCaption[] = "Error";
constexpr char kOpenFailed[] = "ファイルのオープンに失敗しました";
constexpr char kUnusable[] = "この画像は背景には使用できません";
constexpr char kPaletteFailed[] = "パレット作成失敗";

void ShowError(HWND owner, const char* text) {
  platform::ShowMessageBox(owner, text, kCaption, MB_OK);
}

// Copies the path into settings.Wallpaper. The path need not be a whole
// 260-byte buffer, so only its text is copied (cut to 259 bytes), and the
// rest of the field is cleared; it may also be the field itself.
void RememberPath(PanelSettings& settings, const char* path) {
  char* field = settings.Wallpaper;
  const std::size_t length = strnlen(path, sizeof settings.Wallpaper - 1);
  std::memmove(field, path, length);
  std::memset(field + length, 0, sizeof settings.Wallpaper - length);
}

std::unique_ptr<std::uint8_t[]> Allocate(std::size_t size) {
  return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]);
}

// The rest of the file from offset 14, in a buffer of its own: nothing held
// before is touched until the whole picture is in memory.
std::unique_ptr<std::uint8_t[]> ReadFileData(platform::File& file, const bmp::Layout& layout,
                                             const std::uint8_t* head) {
  std::unique_ptr<std::uint8_t[]> data = Allocate(layout.dataSize);
  if (!data) return nullptr;
  if (file.ReadAt(bmp::kFileHeaderSize, data.get(), layout.dataSize) != layout.dataSize) {
    return nullptr;
  }
  // The file is held without sharing, so this is the header that was checked.
  if (std::memcmp(data.get(), head + bmp::kFileHeaderSize, bmp::kInfoHeaderSize) != 0) {
    return nullptr;
  }
  return data;
}

}  // namespace

int LoadWallpaper(WallpaperImage& image, PanelSettings& settings, HWND owner, const char* path) {
  if (settings.Bitmap == 0) return 0;
  platform::File file;
  if (!file.Open(path, platform::OpenMode::ReadExisting)) {
    ShowError(owner, kOpenFailed);
    return 0;
  }
  std::uint8_t head[bmp::kHeadersSize];
  const std::size_t got = file.ReadAt(0, head, sizeof head);
  std::uint64_t length = 0;
  bmp::Layout layout;
  if (!file.Size(&length) || bmp::CheckHeaders(head, got, length, &layout) != bmp::Fault::None) {
    ShowError(owner, kUnusable);
    return 0;
  }
  std::unique_ptr<std::uint8_t[]> info = Allocate(layout.InfoSize());
  std::unique_ptr<std::uint8_t[]> data = info ? ReadFileData(file, layout, head) : nullptr;
  file.Close();
  if (!data) return 0;
  // Run-length codes are checked before anything changes, like the headers.
  if (bmp::CheckPixels(layout, data.get()) != bmp::Fault::None) {
    ShowError(owner, kUnusable);
    return 0;
  }
  RememberPath(settings, path);
  settings.Save();

  FreeWallpaper(image);
  image.FileData = std::move(data);
  image.Info = std::move(info);
  bmp::WriteInfoHeader(layout, image.FileData.get(), image.Info.get());
  CopyColourTable(image, layout);
  image.Pixels = image.FileData.get() + layout.pixelOffset;
  // Last, because a failure shows a message box whose modal loop may paint
  // the panel: the picture is complete by then.
  if (layout.colourCount != 0) BuildWallpaperPalette(image, layout, owner);
  return 1;
}

void FreeWallpaper(WallpaperImage& image) {
  image.Info.reset();
  image.FileData.reset();
  image.Pixels = nullptr;
  image.Palette.reset();
}

void BuildWallpaperPalette(WallpaperImage& image, const bmp::Layout& layout, HWND owner) {
  image.Palette.reset();
  if (!image.FileData || layout.colourCount == 0 || layout.colourCount > 256) return;
  // LOGPALETTE with room for the largest table the loader accepts.
  struct {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[256];
  } palette;
  palette.palVersion = 0x300;
  palette.palNumEntries = static_cast<WORD>(layout.colourCount);
  for (std::uint32_t i = 0; i < layout.colourCount; ++i) {
    const bmp::Rgb c = bmp::ColourAt(layout, image.FileData.get(), i);
    palette.palPalEntry[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
  }
  HPALETTE made = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&palette));
  if (made == nullptr) {
    ShowError(owner, kPaletteFailed);
    return;
  }
  image.Palette.reset(made);
}

void CopyColourTable(WallpaperImage& image, const bmp::Layout& layout) {
  if (!image.FileData || !image.Info) return;
  bmp::CopyColourTable(layout, image.FileData.get(), image.Info.get());
}
