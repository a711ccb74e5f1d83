// Loading real BMP files into the panel's wallpaper, with the settings file
// and the message boxes the user would see.
#include "wallpaper/wallpaper_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/bmp_builder.h"
#include "tests/support/scoped_temp_dir.h"
#include "tests/win/message_boxes.h"

namespace {

using bmp_builder::Shape;

constexpr char kOpenFailed[] = "ファイルのオープンに失敗しました";
constexpr char kUnusable[] = "この画像は背景には使用できません";

Shape Bits(std::uint16_t bits, std::uint32_t compression = 0) {
  Shape s;
  s.bitCount = bits;
  s.compression = compression;
  return s;
}

std::uint32_t InfoU32(const WallpaperImage& image, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, image.Info.get() + at, 4);
  return v;
}

class WallpaperLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&settings, 0, sizeof settings);
    settings.Load();  // names Nubotesa.ini in the temporary folder
    settings.Bitmap = 1;
    owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    palettesBefore = platform::OwnedPalette::Live();
  }
  void TearDown() override {
    FreeWallpaper(image);
    EXPECT_EQ(platform::OwnedPalette::Live(), palettesBefore);
    DestroyWindow(owner);
  }

  std::string Write(const char* name, const std::string& bytes) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(WriteWholeFile(path, bytes));
    return path;
  }
  int Load(const std::string& path) { return LoadWallpaper(image, settings, owner, path.c_str()); }
  std::string SettingsFile() const { return ReadWholeFile(dir.File("Nubotesa.ini")); }
  std::string SavedWallpaper() const {
    char value[260] = {};
    GetPrivateProfileStringA("Config", "Wallpaper", "<none>", value, sizeof value,
                             dir.File("Nubotesa.ini").c_str());
    return value;
  }

  // Draws the picture 1:1 into a 32-bit DIB and reads the pixel at (x, y),
  // as 0x00RRGGBB, to show that GDI reads Info and Pixels as meant.
  std::uint32_t PaintedPixel(int x, int y) {
    const BITMAPINFOHEADER& h = *reinterpret_cast<const BITMAPINFOHEADER*>(image.Info.get());
    BITMAPINFO target = {};
    target.bmiHeader.biSize = sizeof target.bmiHeader;
    target.bmiHeader.biWidth = h.biWidth;
    const LONG rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    target.bmiHeader.biHeight = -rows;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    const UINT usage =
        (h.biClrUsed != 0 || h.biCompression == BI_BITFIELDS) ? DIB_RGB_COLORS : DIB_PAL_COLORS;
    StretchDIBits(dc, 0, 0, h.biWidth, rows, 0, 0, h.biWidth, rows, image.Pixels,
                  reinterpret_cast<const BITMAPINFO*>(image.Info.get()), usage, SRCCOPY);
    GdiFlush();
    const std::uint32_t pixel = static_cast<const std::uint32_t*>(bits)[y * h.biWidth + x];
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    return pixel & 0xFFFFFF;
  }

  static std::uint32_t EntryRgb(std::uint32_t i) {
    return bmp_builder::EntryRed(i) << 16 | bmp_builder::EntryGreen(i) << 8 |
           bmp_builder::EntryBlue(i);
  }

  ScopedTempDir dir;
  PanelSettings settings;
  WallpaperImage image;
  HWND owner = nullptr;
  int palettesBefore = 0;
};

TEST_F(WallpaperLoadTest, TwentyFourBitsGiveTheBareHeaderAndNoPalette) {
  const std::string file = bmp_builder::Make(Bits(24));
  MessageBoxAnswerer boxes;
  ASSERT_EQ(Load(Write("deep.bmp", file)), 1);
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_FALSE(image.Palette);
  EXPECT_EQ(InfoU32(image, 32), 0u);
  EXPECT_EQ(std::memcmp(image.Info.get(), file.data() + 14, 40), 0);
  EXPECT_EQ(std::memcmp(image.FileData.get(), file.data() + 14, file.size() - 14), 0);
  EXPECT_EQ(image.Pixels, image.FileData.get() + 54 - 14);
  // Row 0 of the file is the bottom row; its first pixel is the bytes 5, 36, 67.
  EXPECT_EQ(PaintedPixel(0, 1), 0x432405u);
}

TEST_F(WallpaperLoadTest, EightBitsWithClrUsedZeroHoldAll256EntriesAndAPalette) {
  const std::string file = bmp_builder::Make(Bits(8));
  ASSERT_EQ(bmp_builder::GetU32(file, bmp_builder::kBiClrUsed), 0u);
  MessageBoxAnswerer boxes;
  ASSERT_EQ(Load(Write("p8.bmp", file)), 1);
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_EQ(InfoU32(image, 32), 256u);
  ASSERT_TRUE(image.Palette);
  PALETTEENTRY entries[257] = {};
  ASSERT_EQ(GetPaletteEntries(image.Palette.get(), 0, 257, entries), 256u);
  for (std::uint32_t i = 0; i < 256; ++i) {
    const unsigned char* stored =
        reinterpret_cast<const unsigned char*>(file.data()) + bmp_builder::kTable + 4 * i;
    const unsigned char* copied = image.Info.get() + 40 + 4 * i;
    ASSERT_EQ(entries[i].peRed, stored[2]) << "entry " << i;
    ASSERT_EQ(entries[i].peGreen, stored[1]) << "entry " << i;
    ASSERT_EQ(entries[i].peBlue, stored[0]) << "entry " << i;
    ASSERT_EQ(entries[i].peFlags, 0) << "entry " << i;
    ASSERT_EQ(std::memcmp(copied, stored, 3), 0) << "entry " << i;
    ASSERT_EQ(copied[3], 0) << "entry " << i;
  }
  // Bottom row, first pixel: index 5; top row, first pixel: index 129.
  EXPECT_EQ(PaintedPixel(0, 1), EntryRgb(5));
  EXPECT_EQ(PaintedPixel(0, 0), EntryRgb(129));
}

TEST_F(WallpaperLoadTest, OneBitGivesATwoEntryPalette) {
  ASSERT_EQ(Load(Write("p1.bmp", bmp_builder::Make(Bits(1)))), 1);
  EXPECT_EQ(InfoU32(image, 32), 2u);
  ASSERT_TRUE(image.Palette);
  PALETTEENTRY entries[4] = {};
  ASSERT_EQ(GetPaletteEntries(image.Palette.get(), 0, 4, entries), 2u);
  EXPECT_EQ(entries[1].peRed, bmp_builder::EntryRed(1));
  EXPECT_EQ(entries[1].peBlue, bmp_builder::EntryBlue(1));
}

TEST_F(WallpaperLoadTest, PixelsStartAtBfOffBitsAndAreLoadedWholeWithoutBiSizeImage) {
  Shape s = Bits(4);
  s.gap = 10;
  s.sizeImage = 0;
  s.height = 5;
  const std::string file = bmp_builder::Make(s);
  const std::uint32_t offBits = bmp_builder::GetU32(file, bmp_builder::kBfOffBits);
  ASSERT_EQ(offBits, 54u + 64 + 10);
  ASSERT_EQ(Load(Write("gap.bmp", file)), 1);
  EXPECT_EQ(image.Pixels, image.FileData.get() + offBits - 14);
  EXPECT_EQ(std::memcmp(image.Pixels, file.data() + offBits, file.size() - offBits), 0);
  EXPECT_EQ(InfoU32(image, 20), 0u);  // biSizeImage stays as the file has it
}

TEST_F(WallpaperLoadTest, BitFieldPicturesCarryTheirMasks) {
  ASSERT_EQ(Load(Write("565.bmp", bmp_builder::Make(Bits(16, 3)))), 1);
  EXPECT_FALSE(image.Palette);
  EXPECT_EQ(InfoU32(image, 40), 0xF800u);
  EXPECT_EQ(InfoU32(image, 48), 0x001Fu);
  // First pixel of the bottom row: 0x2405, red 4, green 32, blue 5 in 5-6-5
  // (read as 5-5-5 it would be red 9, green 0, blue 5).
  const std::uint32_t p = PaintedPixel(0, 1);
  EXPECT_NEAR(static_cast<int>(p >> 16), 4 * 255 / 31, 1) << std::hex << p;
  EXPECT_NEAR(static_cast<int>(p >> 8 & 0xFF), 32 * 255 / 63, 1) << std::hex << p;
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 5 * 255 / 31, 1) << std::hex << p;
}

TEST_F(WallpaperLoadTest, BitmapOffTouchesNoFileAndSaysNothing) {
  const std::string path = Write("held.bmp", bmp_builder::Make(Bits(8)));
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  settings.Bitmap = 0;
  MessageBoxAnswerer boxes;
  EXPECT_EQ(Load(path), 0);
  EXPECT_EQ(Load(dir.File("missing.bmp")), 0);
  CloseHandle(held);
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_FALSE(image.FileData);
  EXPECT_FALSE(FileExists(dir.File("Nubotesa.ini")));
  EXPECT_STREQ(settings.Wallpaper, "sample.bmp");
}

struct FailedLoad {
  const char* name;
  const char* message;
  std::string (*prepare)(const ScopedTempDir& dir, HANDLE* held);
};

TEST_F(WallpaperLoadTest, RefusedFilesKeepThePictureAndTheSettings) {
  const std::string good = Write("good.bmp", bmp_builder::Make(Bits(8)));
  const FailedLoad cases[] = {
      {"missing file", kOpenFailed,
       [](const ScopedTempDir& d, HANDLE*) { return d.File("missing.bmp"); }},
      {"file held by another handle", kOpenFailed,
       [](const ScopedTempDir& d, HANDLE* held) {
         const std::string p = d.File("locked.bmp");
         WriteWholeFile(p, bmp_builder::Make(Shape()));
         *held = CreateFileA(p.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         return p;
       }},
      {"not BM", kUnusable,
       [](const ScopedTempDir& d, HANDLE*) {
         std::string b = bmp_builder::Make(Shape());
         b[0] = 'P';
         b[1] = 'K';
         WriteWholeFile(d.File("zip.bmp"), b);
         return d.File("zip.bmp");
       }},
      {"empty file", kUnusable,
       [](const ScopedTempDir& d, HANDLE*) {
         WriteWholeFile(d.File("empty.bmp"), "");
         return d.File("empty.bmp");
       }},
      {"pixel array cut short", kUnusable,
       [](const ScopedTempDir& d, HANDLE*) {
         std::string b = bmp_builder::Make(Shape());
         b.resize(b.size() - 1);
         WriteWholeFile(d.File("short.bmp"), b);
         return d.File("short.bmp");
       }},
      {"RLE8 codes without their end", kUnusable,
       [](const ScopedTempDir& d, HANDLE*) {
         std::string b = bmp_builder::Make(Bits(8));
         bmp_builder::PutU32(b, bmp_builder::kBiCompression, 1);
         WriteWholeFile(d.File("rle.bmp"), b);
         return d.File("rle.bmp");
       }},
  };
  ASSERT_EQ(Load(good), 1);
  const std::string savedFile = SettingsFile();
  ASSERT_EQ(SavedWallpaper(), good);
  const std::uint8_t* data = image.FileData.get();
  const HPALETTE palette = image.Palette.get();
  for (const FailedLoad& c : cases) {
    HANDLE held = INVALID_HANDLE_VALUE;
    const std::string path = c.prepare(dir, &held);
    MessageBoxAnswerer boxes;
    EXPECT_EQ(Load(path), 0) << c.name;
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    ASSERT_EQ(boxes.Seen().size(), 1u) << c.name;
    EXPECT_EQ(boxes.Seen()[0].text, c.message) << c.name;
    EXPECT_EQ(boxes.Seen()[0].caption, "Error") << c.name;
    EXPECT_EQ(boxes.Seen()[0].owner, owner) << c.name;
    EXPECT_EQ(image.FileData.get(), data) << c.name;
    EXPECT_EQ(image.Palette.get(), palette) << c.name;
    EXPECT_EQ(image.Pixels, data + 54 + 1024 - 14) << c.name;
    EXPECT_EQ(InfoU32(image, 32), 256u) << c.name;
    EXPECT_EQ(std::string(settings.Wallpaper), good) << c.name;
    EXPECT_EQ(SettingsFile(), savedFile) << c.name;
  }
}

TEST_F(WallpaperLoadTest, NewPathReplacesThePictureAndRewritesTheSettingsFile) {
  const std::string first = Write("first.bmp", bmp_builder::Make(Bits(8)));
  const std::string second = Write("second.bmp", bmp_builder::Make(Bits(4)));
  ASSERT_EQ(Load(first), 1);
  EXPECT_EQ(SavedWallpaper(), first);
  EXPECT_EQ(platform::OwnedPalette::Live(), palettesBefore + 1);
  ASSERT_EQ(Load(second), 1);
  EXPECT_STREQ(settings.Wallpaper, second.c_str());
  EXPECT_EQ(SavedWallpaper(), second);
  EXPECT_EQ(InfoU32(image, 32), 16u);
  EXPECT_EQ(platform::OwnedPalette::Live(), palettesBefore + 1);  // the old one went
  // A picture without a colour table leaves no palette from the one before.
  ASSERT_EQ(Load(Write("third.bmp", bmp_builder::Make(Bits(24)))), 1);
  EXPECT_FALSE(image.Palette);
  EXPECT_EQ(platform::OwnedPalette::Live(), palettesBefore);
  FreeWallpaper(image);
  FreeWallpaper(image);
  EXPECT_FALSE(image.FileData);
  EXPECT_FALSE(image.Info);
  EXPECT_EQ(image.Pixels, nullptr);
  EXPECT_EQ(platform::OwnedPalette::Live(), palettesBefore);
}

TEST_F(WallpaperLoadTest, PathIsCopiedUpToItsTerminatorOnly) {
  // The caller's path may be a short string rather than a 260-byte buffer.
  std::memset(settings.Wallpaper, 'x', sizeof settings.Wallpaper);
  const std::string path = Write("a.bmp", bmp_builder::Make(Shape()));
  ASSERT_EQ(Load(path), 1);
  EXPECT_STREQ(settings.Wallpaper, path.c_str());
  for (std::size_t i = path.size(); i < sizeof settings.Wallpaper; ++i) {
    ASSERT_EQ(settings.Wallpaper[i], '\0') << "byte " << i;
  }
}

}  // namespace
