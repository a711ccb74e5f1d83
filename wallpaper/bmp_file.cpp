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

bool KnownBitCount(std::uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool KnownCompression(const InfoHeader& i) {
  if (i.biCompression == kRgb) return true;
  return i.biCompression == kBitFields && (i.biBitCount == 16 || i.biBitCount == 32);
}

// The rules that need only the info header.
Fault CheckInfo(const InfoHeader& i) {
  if (i.biSize != kInfoHeaderSize) return Fault::HeaderSize;
  if (!KnownBitCount(i.biBitCount)) return Fault::BitCount;
  if (!KnownCompression(i)) return Fault::Compression;
  if (i.biWidth <= 0 || i.biHeight <= 0) return Fault::Dimensions;
  return Fault::None;
}

// The rules that place the table and the pixels inside bfSize bytes.
Fault CheckPlacement(Layout& l, std::uint64_t fileLength) {
  const FileHeader& f = l.file;
  if (f.bfSize < kHeadersSize || f.bfSize > fileLength) return Fault::FileSize;
  if (f.bfOffBits < kHeadersSize || f.bfOffBits > f.bfSize) return Fault::PixelOffset;
  const std::uint64_t tableBytes = 4ull * (l.colourCount + l.maskCount);
  if (f.bfOffBits - kHeadersSize < tableBytes) return Fault::ColourTable;
  // Width and bit count are bounded (31 and 6 bits), so this cannot overflow.
  const std::uint64_t rowBits = static_cast<std::uint64_t>(l.info.biWidth) * l.info.biBitCount;
  const std::uint64_t stride = (rowBits + 31) / 32 * 4;
  const std::uint64_t room = f.bfSize - f.bfOffBits;
  if (stride > room || static_cast<std::uint64_t>(l.info.biHeight) > room / stride) {
    return Fault::PixelArray;
  }
  l.stride = static_cast<std::uint32_t>(stride);
  l.pixelBytes = stride * static_cast<std::uint64_t>(l.info.biHeight);
  l.dataSize = f.bfSize - static_cast<std::uint32_t>(kFileHeaderSize);
  l.pixelOffset = f.bfOffBits - static_cast<std::uint32_t>(kFileHeaderSize);
  return Fault::None;
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
  l.maskCount = l.info.biCompression == kBitFields ? 3 : 0;
  const Fault placement = CheckPlacement(l, fileLength);
  if (placement != Fault::None) return placement;
  *layout = l;
  return Fault::None;
}

void WriteInfoHeader(const Layout& layout, const std::uint8_t* fileData, std::uint8_t* info) {
  std::memcpy(info, fileData, kInfoHeaderSize);
  const std::uint32_t n = layout.colourCount;
  for (int b = 0; b < 4; ++b) {
    info[kClrUsedOffset + b] = static_cast<std::uint8_t>(n >> (8 * b));
  }
}

void CopyColourTable(const Layout& layout, const std::uint8_t* fileData, std::uint8_t* info) {
  std::uint8_t* out = info + kInfoHeaderSize;
  const std::uint8_t* in = fileData + kInfoHeaderSize;
  if (layout.maskCount != 0) {
    std::memcpy(out, in, 4u * layout.maskCount);
    return;
  }
  for (std::uint32_t i = 0; i < layout.colourCount; ++i) {
    std::memcpy(out + 4 * i, in + 4 * i, 3);
    out[4 * i + 3] = 0;
  }
}

Rgb ColourAt(const Layout& layout, const std::uint8_t* fileData, std::uint32_t index) {
  if (index >= layout.colourCount) return Rgb{0, 0, 0};
  const std::uint8_t* e = fileData + kInfoHeaderSize + 4 * index;
  return Rgb{e[2], e[1], e[0]};
}

}  // namespace bmp
