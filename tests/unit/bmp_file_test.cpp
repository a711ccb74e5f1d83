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
      {"v5 header 124", rgb24, [](std::string& b) { PutU32(b, 14, 124); }, Fault::HeaderSize},
      {"bit count 0", rgb24, [](std::string& b) { PutU16(b, 28, 0); }, Fault::BitCount},
      {"bit count 2", pal1, [](std::string& b) { PutU16(b, 28, 2); }, Fault::BitCount},
      {"bit count 64", rgb24, [](std::string& b) { PutU16(b, 28, 64); }, Fault::BitCount},
      {"RLE8", pal8, [](std::string& b) { PutU32(b, 30, 1); }, Fault::Compression},
      {"RLE4", Bits(4), [](std::string& b) { PutU32(b, 30, 2); }, Fault::Compression},
      {"bit fields at 24", rgb24, [](std::string& b) { PutU32(b, 30, 3); }, Fault::Compression},
      {"bit fields at 8", pal8, [](std::string& b) { PutU32(b, 30, 3); }, Fault::Compression},
      {"width 0", rgb24, [](std::string& b) { PutU32(b, 18, 0); }, Fault::Dimensions},
      {"height 0", rgb24, [](std::string& b) { PutU32(b, 22, 0); }, Fault::Dimensions},
      {"top-down height -2", rgb24, [](std::string& b) { PutU32(b, 22, 0xFFFFFFFE); },
       Fault::Dimensions},
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
      {"8 bits, 255 entries",
       [] {
         Shape s = Bits(8);
         s.tableEntries = 255;
         s.clrUsed = 255;
         return s;
       }(),
       keep, Fault::ColourTable},
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
  std::uint32_t colours, masks, stride;
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
    EXPECT_EQ(l.pixelBytes, std::uint64_t{c.stride} * 2) << c.name;
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
