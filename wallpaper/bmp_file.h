// Checking and describing a Windows BMP file without the window system.
//
// The wallpaper loader accepts what the platform's DIB functions draw: a
// 14-byte file header; an info header of 40, 52, 56, 108 or 124 bytes; a
// colour table after that header (2^bits entries for 1, 4 and 8 bits, or
// biClrUsed entries when the file says fewer; the missing ones are black); the
// three masks of a 16- or 32-bit bit-field picture (after a 40-byte header,
// inside the larger ones); pixel rows bottom-up or top-down (negative height),
// uncompressed, or run-length encoded at 4 and 8 bits (bottom-up only). The
// pixel array lies wholly inside the file. Everything is read little-endian,
// byte by byte, whatever the host's byte order; no read reaches past the bytes
// handed in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bmp {

constexpr std::uint16_t kBitmapMark = 0x4D42;  // "BM"
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
constexpr std::uint64_t kMaxFileSize = 256u << 20;  // 256 MiB
constexpr std::uint32_t kRgb = 0;                   // BI_RGB
constexpr std::uint32_t kRle8 = 1;                  // BI_RLE8
constexpr std::uint32_t kRle4 = 2;                  // BI_RLE4
constexpr std::uint32_t kBitFields = 3;             // BI_BITFIELDS
constexpr std::size_t kClrUsedOffset = 32;          // biClrUsed inside the info header

struct FileHeader {
  std::uint16_t bfType;
  std::uint32_t bfSize;
  std::uint16_t bfReserved1;
  std::uint16_t bfReserved2;
  std::uint32_t bfOffBits;
};

struct InfoHeader {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};

// Why a file was refused. The user sees one message for all of them; the
// names tell tests (and a debugger) which rule struck.
enum class Fault {
  None,
  NotBitmap,    // shorter than 2 bytes, or the first two are not "BM"
  TooLarge,     // the file is over kMaxFileSize
  Truncated,    // shorter than the two headers
  HeaderSize,   // biSize is not 40, 52, 56, 108 or 124
  BitCount,     // not 1, 4, 8, 16, 24 or 32
  Compression,  // not BI_RGB, BI_BITFIELDS at 16 or 32 bits, BI_RLE8 at 8, BI_RLE4 at 4
  Dimensions,   // width 0 or less, height 0 or -2^31, a top-down RLE picture
  FileSize,     // bfSize below the headers or beyond the file
  PixelOffset,  // bfOffBits inside the headers or beyond bfSize
  ColourTable,  // no room between the headers and bfOffBits for the table
  PixelArray,   // height x stride (RLE: biSizeImage) runs past bfSize, or
                // the run-length codes run past their bytes
};

const char* FaultName(Fault fault);

// An accepted file. Offsets into "file data" count from file offset 14, where
// the loader's copy of the file begins.
struct Layout {
  FileHeader file;
  InfoHeader info;
  std::uint32_t colourCount;   // 2^biBitCount for 1..8 bits, else 0
  std::uint32_t tableEntries;  // entries the file holds, at most colourCount
  std::uint32_t maskCount;     // 3 for bit fields, else 0
  std::uint32_t dataSize;      // bfSize - 14
  std::uint32_t pixelOffset;   // bfOffBits - 14
  std::uint32_t stride;        // bytes per row, a multiple of 4
  std::uint32_t height;        // rows, whichever way they are stored
  bool topDown;                // biHeight is negative: row 0 is the top one
  std::uint64_t pixelBytes;    // stride x height; for RLE biSizeImage

  // Whether the pixels are run-length codes, checked by CheckPixels.
  bool RunLength() const { return info.biCompression == kRle8 || info.biCompression == kRle4; }
  // File data offset of colour entry 0: right after the info header.
  std::uint32_t TableOffset() const { return info.biSize; }

  // Bytes of the BITMAPINFO the loader builds: header, then the colour
  // entries or the masks.
  std::size_t InfoSize() const { return kInfoHeaderSize + 4u * (colourCount + maskCount); }
};

// The colour count the wallpaper uses for a bit count; the file's biClrUsed
// plays no part.
std::uint32_t ColourCount(std::uint16_t bitCount);

// Checks a file of `fileLength` bytes whose first `headLength` bytes are at
// `head` (the loader hands in the first 54 bytes; fewer when the file is
// shorter). All rules depend only on the first 54 bytes and the file's length.
Fault CheckHeaders(const std::uint8_t* head, std::size_t headLength, std::uint64_t fileLength,
                   Layout* layout);

// The check that needs the pixels: the run-length codes of an RLE picture must
// end with their end-of-picture code inside biSizeImage bytes, so that the
// platform's decoder never reads beyond them. Always None for other pictures.
Fault CheckPixels(const Layout& layout, const std::uint8_t* fileData);

// Both checks for a whole file in memory.
inline Fault CheckFile(const std::uint8_t* bytes, std::size_t length, Layout* layout) {
  const Fault head = CheckHeaders(bytes, length, length, layout);
  if (head != Fault::None) return head;
  return CheckPixels(*layout, bytes + kFileHeaderSize);
}

// Fills `info` (layout.InfoSize() bytes) from `fileData` (layout.dataSize
// bytes, the file from offset 14): the first 40 bytes of the header with
// biSize 40 and biClrUsed replaced by the colour count, then the colour table
// with each reserved byte 0 (missing entries black), or the three masks of a
// bit-field picture.
void WriteInfoHeader(const Layout& layout, const std::uint8_t* fileData, std::uint8_t* info);
void CopyColourTable(const Layout& layout, const std::uint8_t* fileData, std::uint8_t* info);

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// Entry `index` of the file's colour table, whose bytes are stored blue,
// green, red, reserved; black for an entry the table does not hold.
Rgb ColourAt(const Layout& layout, const std::uint8_t* fileData, std::uint32_t index);

}  // namespace bmp
