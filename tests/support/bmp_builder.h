// Hand-made BMP files for the tests and the fuzzing seeds: a well-formed file
// of the asked shape, which a test then spoils field by field with PutU16 and
// PutU32. Every colour entry has different red and blue bytes and a non-zero
// reserved byte, so a swapped or copied-verbatim entry shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bmp_builder {

struct Shape {
  std::int32_t width = 3;
  std::int32_t height = 2;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;   // 0 BI_RGB, 3 BI_BITFIELDS
  std::int64_t tableEntries = -1;  // -1: 2^bits for 1..8 bits, 3 masks for bit fields, else 0
  std::uint32_t gap = 0;           // bytes between the table and the pixels
  std::uint32_t clrUsed = 0;
  std::int64_t sizeImage = -1;    // -1: the pixel array's size
  std::uint32_t trailing = 0;     // bytes after bfSize
  std::uint32_t headerSize = 40;  // 52 and more hold the bit-field masks
  bool topDown = false;           // height stored negative
  std::string codes;              // when set: the pixel array (run-length codes)
};

inline void PutU16(std::string& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}

inline void PutU32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::uint32_t GetU32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

// File offsets of the fields a test changes.
enum : std::size_t {
  kBfSize = 2,
  kBfOffBits = 10,
  kBiSize = 14,
  kBiWidth = 18,
  kBiHeight = 22,
  kBiBitCount = 28,
  kBiCompression = 30,
  kBiSizeImage = 34,
  kBiClrUsed = 46,
  kTable = 54,
};

// Colour entry i as stored: blue, green, red, reserved.
inline std::uint8_t EntryBlue(std::uint32_t i) {
  return static_cast<std::uint8_t>(i);
}
inline std::uint8_t EntryGreen(std::uint32_t i) {
  return static_cast<std::uint8_t>(i * 7 + 1);
}
inline std::uint8_t EntryRed(std::uint32_t i) {
  return static_cast<std::uint8_t>(200 - i);
}
constexpr std::uint8_t kEntryReserved = 0xAA;

inline std::uint32_t Stride(const Shape& s) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(s.width) * s.bitCount + 31) / 32 *
                                    4);
}

inline std::string Make(const Shape& s) {
  std::int64_t entries = s.tableEntries;
  if (entries < 0) {
    if (s.compression == 3) {
      entries = s.headerSize == 40 ? 3 : 0;
    } else {
      entries = s.bitCount <= 8 ? (std::int64_t{1} << s.bitCount) : 0;
    }
  }
  const std::uint32_t table = 14 + s.headerSize;
  const std::uint32_t offBits = table + 4 * static_cast<std::uint32_t>(entries) + s.gap;
  const std::uint32_t pixelBytes = !s.codes.empty()
                                       ? static_cast<std::uint32_t>(s.codes.size())
                                       : Stride(s) * static_cast<std::uint32_t>(s.height);
  const std::uint32_t size = offBits + pixelBytes;
  std::string b(size + s.trailing, '\0');
  b[0] = 'B';
  b[1] = 'M';
  PutU32(b, kBfSize, size);
  PutU32(b, kBfOffBits, offBits);
  PutU32(b, kBiSize, s.headerSize);
  PutU32(b, kBiWidth, static_cast<std::uint32_t>(s.width));
  PutU32(b, kBiHeight, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height));
  PutU16(b, 26, 1);
  PutU16(b, kBiBitCount, s.bitCount);
  PutU32(b, kBiCompression, s.compression);
  PutU32(b, kBiSizeImage, s.sizeImage < 0 ? pixelBytes : static_cast<std::uint32_t>(s.sizeImage));
  PutU32(b, 38, 2835);
  PutU32(b, 42, 2835);
  PutU32(b, kBiClrUsed, s.clrUsed);
  if (s.compression == 3) {
    const bool wide = s.bitCount == 32;
    const std::uint32_t masks[3] = {wide ? 0xFF0000u : 0xF800u, wide ? 0xFF00u : 0x07E0u,
                                    wide ? 0xFFu : 0x001Fu};
    // Right after a 40-byte header, or in the mask fields of a larger one.
    const std::int64_t count = s.headerSize == 40 ? entries : 3;
    for (std::int64_t i = 0; i < count && i < 3; ++i) PutU32(b, kTable + 4 * i, masks[i]);
  } else {
    for (std::uint32_t i = 0; i < entries; ++i) {
      b[table + 4 * i] = static_cast<char>(EntryBlue(i));
      b[table + 4 * i + 1] = static_cast<char>(EntryGreen(i));
      b[table + 4 * i + 2] = static_cast<char>(EntryRed(i));
      b[table + 4 * i + 3] = static_cast<char>(kEntryReserved);
    }
  }
  for (std::uint32_t i = 0; i < s.gap; ++i) b[offBits - s.gap + i] = static_cast<char>(0xEE);
  for (std::uint32_t i = 0; i < pixelBytes; ++i) {
    b[offBits + i] = s.codes.empty() ? static_cast<char>((i * 31 + 5) & 0xFF) : s.codes[i];
  }
  for (std::uint32_t i = 0; i < s.trailing; ++i) b[size + i] = static_cast<char>(0x77);
  return b;
}

}  // namespace bmp_builder
