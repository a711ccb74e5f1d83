#include "wallpaper/bmp_file.h"

#include <cstring>

namespace bmp {

namespace {

// Little-endian reads with bounds checked as `offset > length - size`, so no
// sum can overflow. A failed read yields 0 and clears ok() for good.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t length) : data_(data), length_(length) {}

  std::uint16_t U16(std::size_t offset) {
    if (!Fits(offset, 2)) return 0;
    return static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
  }
  std::uint32_t U32(std::size_t offset) {
    if (!Fits(offset, 4)) return 0;
    return static_cast<std::uint32_t>(data_[offset]) |
           static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
           static_cast<std::uint32_t>(data_[offset + 2]) << 16 |
           static_cast<std::uint32_t>(data_[offset + 3]) << 24;
  }
  std::int32_t I32(std::size_t offset) { return static_cast<std::int32_t>(U32(offset)); }
  bool ok() const { return ok_; }

 private:
  bool Fits(std::size_t offset, std::size_t size) {
    if (size > length_ || offset > length_ - size) ok_ = false;
    return ok_;
  }

  const std::uint8_t* data_;
  std::size_t length_;
  bool ok_ = true;
};

void ReadHeaders(Reader& r, FileHeader* f, InfoHeader* i) {
  f->bfType = r.U16(0);
  f->bfSize = r.U32(2);
  f->bfReserved1 = r.U16(6);
  f->bfReserved2 = r.U16(8);
  f->bfOffBits = r.U32(10);
  const std::size_t at = kFileHeaderSize;
  i->biSize = r.U32(at + 0);
  i->biWidth = r.I32(at + 4);
  i->biHeight = r.I32(at + 8);
  i->biPlanes = r.U16(at + 12);
  i->biBitCount = r.U16(at + 14);
  i->biCompression = r.U32(at + 16);
  i->biSizeImage = r.U32(at + 20);
  i->biXPelsPerMeter = r.I32(at + 24);
  i->biYPelsPerMeter = r.I32(at + 28);
  i->biClrUsed = r.U32(at + 32);
  i->biClrImportant = r.U32(at + 36);
}

bool KnownHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KnownBitCount(std::uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool KnownCompression(const InfoHeader& i) {
  switch (i.biCompression) {
    case kRgb:
      return true;
    case kBitFields:
      return i.biBitCount == 16 || i.biBitCount == 32;
    case kRle8:
      return i.biBitCount == 8;
    case kRle4:
      return i.biBitCount == 4;
    default:
      return false;
  }
}

// The rules that need only the info header.
Fault CheckInfo(const InfoHeader& i) {
  if (!KnownHeaderSize(i.biSize)) return Fault::HeaderSize;
  if (!KnownBitCount(i.biBitCount)) return Fault::BitCount;
  if (!KnownCompression(i)) return Fault::Compression;
  if (i.biWidth <= 0 || i.biHeight == 0 || i.biHeight == INT32_MIN) return Fault::Dimensions;
  // Run-length codes describe bottom-up pictures only.
  const bool rle = i.biCompression == kRle8 || i.biCompression == kRle4;
  if (rle && i.biHeight < 0) return Fault::Dimensions;
  return Fault::None;
}

// Entries the file's table holds in `room` bytes: all 2^bits of them when they
// fit (whatever biClrUsed says), else the fewer that biClrUsed names; 0 with
// `fits` false when neither fits.
std::uint32_t TableEntries(const InfoHeader& i, std::uint32_t colourCount, std::uint64_t room,
                           bool* fits) {
  *fits = true;
  if (room >= 4ull * colourCount) return colourCount;
  if (i.biClrUsed != 0 && i.biClrUsed < colourCount && room >= 4ull * i.biClrUsed) {
    return i.biClrUsed;
  }
  *fits = false;
  return 0;
}

// The rules that place the table and the pixels inside bfSize bytes.
Fault CheckPlacement(Layout& l, std::uint64_t fileLength) {
  const FileHeader& f = l.file;
  const std::uint32_t headers = static_cast<std::uint32_t>(kFileHeaderSize) + l.info.biSize;
  if (f.bfSize < headers || f.bfSize > fileLength) return Fault::FileSize;
  if (f.bfOffBits < headers || f.bfOffBits > f.bfSize) return Fault::PixelOffset;
  // Masks follow a 40-byte header; the larger headers hold them.
  const std::uint32_t outsideMasks = l.info.biSize == kInfoHeaderSize ? 4 * l.maskCount : 0;
  if (f.bfOffBits - headers < outsideMasks) return Fault::ColourTable;
  bool tableFits = false;
  l.tableEntries =
      TableEntries(l.info, l.colourCount, f.bfOffBits - headers - outsideMasks, &tableFits);
  if (!tableFits) return Fault::ColourTable;
  // Width and bit count are bounded (31 and 6 bits), so this cannot overflow.
  const std::uint64_t rowBits = static_cast<std::uint64_t>(l.info.biWidth) * l.info.biBitCount;
  const std::uint64_t stride = (rowBits + 31) / 32 * 4;
  const std::uint64_t room = f.bfSize - f.bfOffBits;
  if (l.RunLength()) {
    if (l.info.biSizeImage == 0 || l.info.biSizeImage > room) return Fault::PixelArray;
    l.pixelBytes = l.info.biSizeImage;
  } else {
    if (stride > room || l.height > room / stride) return Fault::PixelArray;
    l.pixelBytes = stride * l.height;
  }
  l.stride = static_cast<std::uint32_t>(stride);
  l.dataSize = f.bfSize - static_cast<std::uint32_t>(kFileHeaderSize);
  l.pixelOffset = f.bfOffBits - static_cast<std::uint32_t>(kFileHeaderSize);
  return Fault::None;
}

// Walks run-length codes: pairs (count, value), where count 0 escapes to end
// of line (0), end of picture (1), a move (2, two more bytes) or a literal run
// of `value` pixels padded to a 16-bit boundary.
bool RunLengthEnds(const std::uint8_t* codes, std::size_t length, bool fourBits) {
  std::size_t at = 0;
  while (length - at >= 2) {
    const std::uint8_t count = codes[at];
    const std::uint8_t value = codes[at + 1];
    at += 2;
    if (count != 0 || value == 0) continue;
    if (value == 1) return true;
    std::size_t skip = 2;
    if (value >= 3) {
      skip = fourBits ? (value + 1u) / 2 : value;
      skip += skip & 1;
    }
    if (skip > length - at) return false;
    at += skip;
  }
  return false;
}

}  // namespace

const char* FaultName(Fault fault) {
  switch (fault) {
    case Fault::None:
      return "None";
    case Fault::NotBitmap:
      return "NotBitmap";
    case Fault::TooLarge:
      return "TooLarge";
    case Fault::Truncated:
      return "Truncated";
    case Fault::HeaderSize:
      return "HeaderSize";
    case Fault::BitCount:
      return "BitCount";
    case Fault::Compression:
      return "Compression";
    case Fault::Dimensions:
      return "Dimensions";
    case Fault::FileSize:
      return "FileSize";
    case Fault::PixelOffset:
      return "PixelOffset";
    case Fault::ColourTable:
      return "ColourTable";
    case Fault::PixelArray:
      return "PixelArray";
  }
  return "?";
}

std::uint32_t ColourCount(std::uint16_t bitCount) {
  return bitCount >= 1 && bitCount <= 8 ? 1u << bitCount : 0u;
}

Fault CheckHeaders(const std::uint8_t* head, std::size_t headLength, std::uint64_t fileLength,
                   Layout* layout) {
  if (headLength > fileLength) headLength = static_cast<std::size_t>(fileLength);
  Layout l = {};
  Reader r(head, headLength);
  ReadHeaders(r, &l.file, &l.info);
  if (headLength < 2 || l.file.bfType != kBitmapMark) return Fault::NotBitmap;
  if (fileLength > kMaxFileSize) return Fault::TooLarge;
  if (!r.ok()) return Fault::Truncated;
  const Fault info = CheckInfo(l.info);
  if (info != Fault::None) return info;
  l.colourCount = ColourCount(l.info.biBitCount);
  l.topDown = l.info.biHeight < 0;
  l.height = l.topDown ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(l.info.biHeight))
                       : static_cast<std::uint32_t>(l.info.biHeight);
  l.maskCount = l.info.biCompression == kBitFields ? 3 : 0;
  const Fault placement = CheckPlacement(l, fileLength);
  if (placement != Fault::None) return placement;
  *layout = l;
  return Fault::None;
}

Fault CheckPixels(const Layout& layout, const std::uint8_t* fileData) {
  if (!layout.RunLength()) return Fault::None;
  const bool fourBits = layout.info.biCompression == kRle4;
  return RunLengthEnds(fileData + layout.pixelOffset, static_cast<std::size_t>(layout.pixelBytes),
                       fourBits)
             ? Fault::None
             : Fault::PixelArray;
}

namespace {

void PutU32(std::uint8_t* at, std::uint32_t v) {
  for (int b = 0; b < 4; ++b) at[b] = static_cast<std::uint8_t>(v >> (8 * b));
}

}  // namespace

void WriteInfoHeader(const Layout& layout, const std::uint8_t* fileData, std::uint8_t* info) {
  // The first 40 bytes of every accepted header have the same fields; the
  // platform reads only those when biSize says 40.
  std::memcpy(info, fileData, kInfoHeaderSize);
  PutU32(info, static_cast<std::uint32_t>(kInfoHeaderSize));
  PutU32(info + kClrUsedOffset, layout.colourCount);
}

void CopyColourTable(const Layout& layout, const std::uint8_t* fileData, std::uint8_t* info) {
  std::uint8_t* out = info + kInfoHeaderSize;
  if (layout.maskCount != 0) {
    // Right after a 40-byte header, or the mask fields of a larger one: the
    // same offset either way.
    std::memcpy(out, fileData + kInfoHeaderSize, 4u * layout.maskCount);
    return;
  }
  const std::uint8_t* in = fileData + layout.TableOffset();
  for (std::uint32_t i = 0; i < layout.colourCount; ++i) {
    if (i < layout.tableEntries) {
      std::memcpy(out + 4 * i, in + 4 * i, 3);
    } else {
      std::memset(out + 4 * i, 0, 3);
    }
    out[4 * i + 3] = 0;
  }
}

Rgb ColourAt(const Layout& layout, const std::uint8_t* fileData, std::uint32_t index) {
  if (index >= layout.tableEntries) return Rgb{0, 0, 0};
  const std::uint8_t* e = fileData + layout.TableOffset() + 4 * index;
  return Rgb{e[2], e[1], e[0]};
}

}  // namespace bmp
