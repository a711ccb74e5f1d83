#include "wallpaper/bmp_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/bmp_builder.h"

namespace {

using bmp::Fault;
using bmp_builder::PutU16;
using bmp_builder::PutU32;
using bmp_builder::Shape;

Shape Bits(std::uint16_t bits, std::uint32_t compression = 0) {
  Shape s;
  s.bitCount = bits;
  s.compression = compression;
  return s;
}

// Copied into a buffer of exactly the file's size, so that the sanitizer
// catches a read one byte past the end.
std::vector<std::uint8_t> Exact(const std::string& b) {
  return {b.begin(), b.end()};
}

// Run-length codes of a 3 x 2 picture: a run, a literal run (padded), ends.
const char kRle8Codes[] = {3, 5, 0, 0, 0, 3, 7, 8, 9, 0, 0, 0, 0, 1};
const char kRle4Codes[] = {3, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 0, 0, 1};

Shape Rle(std::uint16_t bits, const std::string& codes) {
  Shape s = Bits(bits, bits == 8 ? 1 : 2);
  s.codes = codes;
  return s;
}
Shape Rle8() {
  return Rle(8, std::string(kRle8Codes, sizeof kRle8Codes));
}
Shape Rle4() {
  return Rle(4, std::string(kRle4Codes, sizeof kRle4Codes));
}
Shape Header(std::uint32_t size, Shape s) {
  s.headerSize = size;
  return s;
}
Shape TopDown(Shape s) {
  s.topDown = true;
  return s;
}
Shape ShortTable(std::uint16_t bits, std::uint32_t entries) {
  Shape s = Bits(bits);
  s.tableEntries = entries;
  s.clrUsed = entries;
  return s;
}

Fault Check(const std::string& b, bmp::Layout* layout) {
  std::vector<std::uint8_t> bytes = Exact(b);
  return bmp::CheckFile(bytes.data(), bytes.size(), layout);
}

struct RefusalCase {
  const char* name;
  Shape shape;
  std::function<void(std::string&)> spoil;
  Fault expected;
};

std::vector<RefusalCase> RefusalCases() {
  const Shape rgb24;
  const Shape pal8 = Bits(8);
  const Shape pal1 = Bits(1);
  const auto keep = [](std::string&) {};
  return {
      {"empty file", rgb24, [](std::string& b) { b.clear(); }, Fault::NotBitmap},
      {"one byte B", rgb24, [](std::string& b) { b.resize(1); }, Fault::NotBitmap},
      {"mark BA", rgb24, [](std::string& b) { b[1] = 'A'; }, Fault::NotBitmap},
      {"only the mark", rgb24, [](std::string& b) { b.resize(2); }, Fault::Truncated},
      {"file header only", rgb24, [](std::string& b) { b.resize(14); }, Fault::Truncated},
      {"53 bytes", rgb24, [](std::string& b) { b.resize(53); }, Fault::Truncated},
      {"core header 12", rgb24, [](std::string& b) { PutU32(b, 14, 12); }, Fault::HeaderSize},
      {"header 64", rgb24, [](std::string& b) { PutU32(b, 14, 64); }, Fault::HeaderSize},
      {"header 124 claimed, pixels at 54",
       [] {
         Shape s;
         s.width = 20;
         return s;
       }(),
       [](std::string& b) { PutU32(b, 14, 124); }, Fault::PixelOffset},
      {"header 124, bfSize inside it", Header(124, Bits(24)),
       [](std::string& b) { PutU32(b, 2, 100); }, Fault::FileSize},
      {"bit count 0", rgb24, [](std::string& b) { PutU16(b, 28, 0); }, Fault::BitCount},
      {"bit count 2", pal1, [](std::string& b) { PutU16(b, 28, 2); }, Fault::BitCount},
      {"bit count 64", rgb24, [](std::string& b) { PutU16(b, 28, 64); }, Fault::BitCount},
      {"RLE8 at 4 bits", Bits(4), [](std::string& b) { PutU32(b, 30, 1); }, Fault::Compression},
      {"RLE4 at 8 bits", pal8, [](std::string& b) { PutU32(b, 30, 2); }, Fault::Compression},
      {"compression 4 (JPEG)", rgb24, [](std::string& b) { PutU32(b, 30, 4); }, Fault::Compression},
      {"RLE8, plain pixels: no end code", pal8, [](std::string& b) { PutU32(b, 30, 1); },
       Fault::PixelArray},
      {"RLE8 without its end code", Rle8(), [](std::string& b) { b[b.size() - 1] = 0; },
       Fault::PixelArray},
      {"RLE8 literal run past the codes", Rle(8, std::string("\0\x09\1\2\0\1", 6)), keep,
       Fault::PixelArray},
      {"RLE4 move cut off", Rle(4, std::string("\0\x02\1", 3)), keep, Fault::PixelArray},
      {"RLE8 biSizeImage 0", Rle8(), [](std::string& b) { PutU32(b, 34, 0); }, Fault::PixelArray},
      {"RLE8 biSizeImage past the file", Rle8(), [](std::string& b) { PutU32(b, 34, 15); },
       Fault::PixelArray},
      {"top-down RLE8", TopDown(Rle8()), keep, Fault::Dimensions},
      {"bit fields at 24", rgb24, [](std::string& b) { PutU32(b, 30, 3); }, Fault::Compression},
      {"bit fields at 8", pal8, [](std::string& b) { PutU32(b, 30, 3); }, Fault::Compression},
      {"width 0", rgb24, [](std::string& b) { PutU32(b, 18, 0); }, Fault::Dimensions},
      {"height 0", rgb24, [](std::string& b) { PutU32(b, 22, 0); }, Fault::Dimensions},
      {"height -2^31", rgb24, [](std::string& b) { PutU32(b, 22, 0x80000000); }, Fault::Dimensions},
      {"top-down, one row more than the data", TopDown(rgb24),
       [](std::string& b) { PutU32(b, 22, static_cast<std::uint32_t>(-3)); }, Fault::PixelArray},
      {"bfSize 0", rgb24, [](std::string& b) { PutU32(b, 2, 0); }, Fault::FileSize},
      {"bfSize 53", rgb24, [](std::string& b) { PutU32(b, 2, 53); }, Fault::FileSize},
      {"bfSize one past the file", rgb24,
       [](std::string& b) { PutU32(b, 2, static_cast<std::uint32_t>(b.size() + 1)); },
       Fault::FileSize},
      {"bfSize 4 GiB - 1", rgb24, [](std::string& b) { PutU32(b, 2, 0xFFFFFFFF); },
       Fault::FileSize},
      {"bfOffBits 0", rgb24, [](std::string& b) { PutU32(b, 10, 0); }, Fault::PixelOffset},
      {"bfOffBits 53", rgb24, [](std::string& b) { PutU32(b, 10, 53); }, Fault::PixelOffset},
      {"bfOffBits past bfSize", rgb24,
       [](std::string& b) { PutU32(b, 10, static_cast<std::uint32_t>(b.size() + 1)); },
       Fault::PixelOffset},
      {"8 bits, 255 entries, biClrUsed 0",
       [] {
         Shape s = Bits(8);
         s.tableEntries = 255;
         return s;
       }(),
       keep, Fault::ColourTable},
      {"4 bits, biClrUsed 12, room for 11", ShortTable(4, 12),
       [](std::string& b) { PutU32(b, 10, 54 + 44); }, Fault::ColourTable},
      {"table after a 124-byte header cut", Header(124, pal8),
       [](std::string& b) { PutU32(b, 10, 14 + 124 + 1020); }, Fault::ColourTable},
      {"1 bit, 1 entry",
       [] {
         Shape s = Bits(1);
         s.tableEntries = 1;
         return s;
       }(),
       keep, Fault::ColourTable},
      {"8 bits, table overlaps pixels", pal8, [](std::string& b) { PutU32(b, 10, 54 + 1020); },
       Fault::ColourTable},
      {"bit fields, 2 masks",
       [] {
         Shape s = Bits(32, 3);
         s.tableEntries = 2;
         return s;
       }(),
       keep, Fault::ColourTable},
      {"last pixel byte missing", rgb24,
       [](std::string& b) {
         b.pop_back();
         PutU32(b, 2, static_cast<std::uint32_t>(b.size()));
       },
       Fault::PixelArray},
      {"bfOffBits at bfSize", rgb24,
       [](std::string& b) { PutU32(b, 10, static_cast<std::uint32_t>(b.size())); },
       Fault::PixelArray},
      {"height 2^31-1", rgb24, [](std::string& b) { PutU32(b, 22, 0x7FFFFFFF); },
       Fault::PixelArray},
      {"width 2^31-1 at 32 bits", Bits(32), [](std::string& b) { PutU32(b, 18, 0x7FFFFFFF); },
       Fault::PixelArray},
      {"one row more than the data", pal8, [](std::string& b) { PutU32(b, 22, 3); },
       Fault::PixelArray},
  };
}

TEST(BmpCheck, RefusesFilesThatDoNotFit) {
  for (const RefusalCase& c : RefusalCases()) {
    std::string b = bmp_builder::Make(c.shape);
    c.spoil(b);
    bmp::Layout layout;
    const Fault got = Check(b, &layout);
    EXPECT_EQ(got, c.expected) << c.name << ": got " << bmp::FaultName(got) << ", expected "
                               << bmp::FaultName(c.expected);
  }
}

TEST(BmpCheck, SizeLimitIsTheFileLength) {
  // A 54-byte head describing a file of exactly 256 MiB, and one byte more.
  Shape s = Bits(32);
  std::string head = bmp_builder::Make(s).substr(0, 54);
  const std::uint32_t limit = static_cast<std::uint32_t>(bmp::kMaxFileSize);
  PutU32(head, 2, limit);
  PutU32(head, 18, 1024);
  PutU32(head, 22, (limit - 54) / 4096);
  std::vector<std::uint8_t> bytes = Exact(head);
  bmp::Layout layout;
  EXPECT_EQ(bmp::CheckHeaders(bytes.data(), 54, bmp::kMaxFileSize, &layout), Fault::None);
  const Fault over = bmp::CheckHeaders(bytes.data(), 54, bmp::kMaxFileSize + 1, &layout);
  EXPECT_EQ(over, Fault::TooLarge) << bmp::FaultName(over);
}

struct AcceptedCase {
  const char* name;
  Shape shape;
  std::uint32_t colours, masks, stride, entries = 0;
};

TEST(BmpCheck, AcceptsEveryPlainLayout) {
  const auto with = [](Shape s, void (*change)(Shape&)) {
    change(s);
    return s;
  };
  const AcceptedCase cases[] = {
      {"1 bit", Bits(1), 2, 0, 4},
      {"4 bits", Bits(4), 16, 0, 4},
      {"8 bits", Bits(8), 256, 0, 4},
      {"16 bits", Bits(16), 0, 0, 8},
      {"16 bit fields", Bits(16, 3), 0, 3, 8},
      {"24 bits", Bits(24), 0, 0, 12},
      {"32 bits", Bits(32), 0, 0, 12},
      {"32 bit fields", Bits(32, 3), 0, 3, 12},
      {"biSizeImage 0", with(Bits(24), [](Shape& s) { s.sizeImage = 0; }), 0, 0, 12},
      {"8 bits, biClrUsed 17", with(Bits(8), [](Shape& s) { s.clrUsed = 17; }), 256, 0, 4},
      {"24 bits with a table", with(Bits(24), [](Shape& s) { s.tableEntries = 4; }), 0, 0, 12},
      {"gap of 10 bytes", with(Bits(4), [](Shape& s) { s.gap = 10; }), 16, 0, 4},
      {"bytes after bfSize", with(Bits(24), [](Shape& s) { s.trailing = 9; }), 0, 0, 12},
      {"33 pixels at 1 bit", with(Bits(1), [](Shape& s) { s.width = 33; }), 2, 0, 8},
      {"header 52, bit fields", Header(52, Bits(16, 3)), 0, 3, 8},
      {"header 56, 8 bits", Header(56, Bits(8)), 256, 0, 4},
      {"header 108, 4 bits", Header(108, Bits(4)), 16, 0, 4},
      {"header 124, 32 bit fields", Header(124, Bits(32, 3)), 0, 3, 12},
      {"header 124, 24 bits", Header(124, Bits(24)), 0, 0, 12},
      {"top-down 24 bits", TopDown(Bits(24)), 0, 0, 12},
      {"top-down 1 bit, header 108", TopDown(Header(108, Bits(1))), 2, 0, 4},
      {"RLE8", Rle8(), 256, 0, 4},
      {"RLE4, header 124", Header(124, Rle4()), 16, 0, 4},
      {"8 bits, table of 12", ShortTable(8, 12), 256, 0, 4, 12},
      {"1 bit, table of 1", ShortTable(1, 1), 2, 0, 4, 1},
  };
  for (const AcceptedCase& c : cases) {
    const std::string b = bmp_builder::Make(c.shape);
    bmp::Layout l;
    const Fault got = Check(b, &l);
    ASSERT_EQ(got, Fault::None) << c.name << ": " << bmp::FaultName(got);
    const std::uint32_t offBits = bmp_builder::GetU32(b, 10);
    EXPECT_EQ(l.colourCount, c.colours) << c.name;
    EXPECT_EQ(l.maskCount, c.masks) << c.name;
    EXPECT_EQ(l.stride, c.stride) << c.name;
    EXPECT_EQ(l.pixelOffset, offBits - 14) << c.name;
    EXPECT_EQ(l.dataSize, bmp_builder::GetU32(b, 2) - 14) << c.name;
    const std::uint64_t pixelBytes =
        c.shape.codes.empty() ? std::uint64_t{c.stride} * 2 : c.shape.codes.size();
    EXPECT_EQ(l.pixelBytes, pixelBytes) << c.name;
    EXPECT_EQ(l.height, 2u) << c.name;
    EXPECT_EQ(l.topDown, c.shape.topDown) << c.name;
    EXPECT_EQ(l.tableEntries, c.entries != 0 ? c.entries : c.colours) << c.name;
    EXPECT_EQ(l.InfoSize(), 40u + 4 * (c.colours + c.masks)) << c.name;
  }
}

TEST(BmpColourCount, IsTwoToTheBitsUpToEightElseZero) {
  const std::uint32_t expected[] = {0, 2, 4, 8, 16, 32, 64, 128, 256, 0, 0};
  for (std::uint16_t bits = 0; bits <= 10; ++bits) {
    EXPECT_EQ(bmp::ColourCount(bits), expected[bits]) << "bits " << bits;
  }
  EXPECT_EQ(bmp::ColourCount(24), 0u);
  EXPECT_EQ(bmp::ColourCount(32), 0u);
}

// Info and palette colours as the loader builds them from a file.
class BmpInfoTest : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> Build(const Shape& s) {
    file = Exact(bmp_builder::Make(s));
    EXPECT_EQ(bmp::CheckFile(file.data(), file.size(), &layout), Fault::None);
    std::vector<std::uint8_t> info(layout.InfoSize(), 0xCC);  // nothing left unwritten
    bmp::WriteInfoHeader(layout, Data(), info.data());
    bmp::CopyColourTable(layout, Data(), info.data());
    return info;
  }
  const std::uint8_t* Data() const { return file.data() + 14; }
  static std::uint32_t U32(const std::vector<std::uint8_t>& v, std::size_t at) {
    return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<std::uint32_t>(v[at + 3]) << 24;
  }

  std::vector<std::uint8_t> file;
  bmp::Layout layout;
};

TEST_F(BmpInfoTest, EightBitsWithClrUsedZeroCarryAllEntriesWithReservedCleared) {
  const std::vector<std::uint8_t> info = Build(Bits(8));
  ASSERT_EQ(info.size(), 40u + 1024u);
  EXPECT_EQ(U32(info, 32), 256u);
  EXPECT_TRUE(std::equal(info.begin(), info.begin() + 32, Data()));
  EXPECT_TRUE(std::equal(info.begin() + 36, info.begin() + 40, Data() + 36));
  for (std::uint32_t i = 0; i < 256; ++i) {
    const std::uint8_t* e = info.data() + 40 + 4 * i;
    ASSERT_EQ(e[0], bmp_builder::EntryBlue(i)) << "entry " << i;
    ASSERT_EQ(e[1], bmp_builder::EntryGreen(i)) << "entry " << i;
    ASSERT_EQ(e[2], bmp_builder::EntryRed(i)) << "entry " << i;
    ASSERT_EQ(e[3], 0) << "entry " << i;
  }
}

TEST_F(BmpInfoTest, FileClrUsedIsReplacedByTheColourCount) {
  Shape s = Bits(4);
  s.clrUsed = 3;
  EXPECT_EQ(U32(Build(s), 32), 16u);
  s = Bits(24);
  s.clrUsed = 7;
  s.tableEntries = 7;
  const std::vector<std::uint8_t> info = Build(s);
  EXPECT_EQ(info.size(), 40u);
  EXPECT_EQ(U32(info, 32), 0u);
}

TEST_F(BmpInfoTest, BitFieldMasksFollowTheHeader) {
  std::vector<std::uint8_t> info = Build(Bits(16, 3));
  ASSERT_EQ(info.size(), 52u);
  EXPECT_EQ(U32(info, 40), 0xF800u);
  EXPECT_EQ(U32(info, 44), 0x07E0u);
  EXPECT_EQ(U32(info, 48), 0x001Fu);
  info = Build(Bits(32, 3));
  EXPECT_EQ(U32(info, 40), 0xFF0000u);
  EXPECT_EQ(U32(info, 48), 0xFFu);
}

TEST_F(BmpInfoTest, LargerHeadersBecomeA40ByteHeaderWithTheTableOrMasksAfterIt) {
  struct Case {
    Shape shape;
    std::uint32_t after40;  // the first word after the header in Info
  } cases[] = {
      {Header(124, Bits(8)), 0x01u << 8 | 0xC8u << 16},  // entry 0: blue 0, green 1, red 200
      {Header(56, TopDown(Bits(4))), 0x01u << 8 | 0xC8u << 16},
      {Header(108, Bits(32, 3)), 0xFF0000u},
      {Header(52, Bits(16, 3)), 0xF800u},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> info = Build(c.shape);
    const std::string what = "header " + std::to_string(c.shape.headerSize);
    ASSERT_EQ(info.size(), layout.InfoSize()) << what;
    EXPECT_EQ(U32(info, 0), 40u) << what;
    EXPECT_TRUE(std::equal(info.begin() + 4, info.begin() + 32, Data() + 4)) << what;
    EXPECT_EQ(U32(info, 32), layout.colourCount) << what;
    EXPECT_EQ(U32(info, 40), c.after40) << what;
  }
  EXPECT_EQ(static_cast<std::int32_t>(U32(Build(TopDown(Bits(24))), 8)), -2);
}

TEST_F(BmpInfoTest, EntriesTheTableDoesNotHoldAreBlack) {
  const std::vector<std::uint8_t> info = Build(ShortTable(8, 12));
  ASSERT_EQ(info.size(), 40u + 1024u);
  EXPECT_EQ(U32(info, 32), 256u);
  for (std::uint32_t i = 0; i < 256; ++i) {
    const std::uint8_t* e = info.data() + 40 + 4 * i;
    const bmp::Rgb c = bmp::ColourAt(layout, Data(), i);
    const std::uint8_t blue = i < 12 ? bmp_builder::EntryBlue(i) : 0;
    const std::uint8_t red = i < 12 ? bmp_builder::EntryRed(i) : 0;
    ASSERT_TRUE(e[0] == blue && e[2] == red && e[3] == 0 && c.blue == blue && c.red == red)
        << "entry " << i << ": info " << int{e[0]} << "," << int{e[2]} << " colour " << int{c.blue}
        << "," << int{c.red};
  }
}

TEST_F(BmpInfoTest, PaletteColoursReadRedFromByteTwoAndBlueFromByteZero) {
  Build(Bits(1));
  for (std::uint32_t i = 0; i < 2; ++i) {
    const bmp::Rgb c = bmp::ColourAt(layout, Data(), i);
    EXPECT_EQ(c.red, bmp_builder::EntryRed(i)) << "entry " << i;
    EXPECT_EQ(c.green, bmp_builder::EntryGreen(i)) << "entry " << i;
    EXPECT_EQ(c.blue, bmp_builder::EntryBlue(i)) << "entry " << i;
  }
  const bmp::Rgb outside = bmp::ColourAt(layout, Data(), 2);
  EXPECT_EQ(outside.red + outside.green + outside.blue, 0);
}

}  // namespace
