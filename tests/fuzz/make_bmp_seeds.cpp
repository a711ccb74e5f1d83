// Writes the fuzzer's seed files into the folder given as the only argument:
// well-formed pictures of every accepted depth, gaps, and cut-off files.
#include <cstdio>
#include <string>

#include "tests/support/bmp_builder.h"

namespace {

using bmp_builder::Shape;

bool Put(const std::string& dir, const std::string& name, const std::string& bytes) {
  const std::string path = dir + "/" + name + ".bmp";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

Shape Of(std::uint16_t bits, std::uint32_t compression = 0) {
  Shape s;
  s.bitCount = bits;
  s.compression = compression;
  s.width = 5;
  s.height = 3;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bmp_seeds FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  for (std::uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    const std::string name = "rgb" + std::to_string(bits);
    ok &= Put(dir, name, bmp_builder::Make(Of(bits)));
    Shape gap = Of(bits);
    gap.gap = 6;
    gap.sizeImage = 0;
    ok &= Put(dir, name + "-gap", bmp_builder::Make(gap));
    const std::string whole = bmp_builder::Make(Of(bits));
    ok &= Put(dir, name + "-cut", whole.substr(0, whole.size() - 3));
  }
  ok &= Put(dir, "fields16", bmp_builder::Make(Of(16, 3)));
  ok &= Put(dir, "fields32", bmp_builder::Make(Of(32, 3)));
  Shape shortTable = Of(8);
  shortTable.tableEntries = 12;
  shortTable.clrUsed = 12;
  ok &= Put(dir, "short-table", bmp_builder::Make(shortTable));
  Shape trailing = Of(4);
  trailing.trailing = 17;
  ok &= Put(dir, "trailing", bmp_builder::Make(trailing));
  const std::string deep = bmp_builder::Make(Of(24));
  ok &= Put(dir, "headers-only", deep.substr(0, 54));
  ok &= Put(dir, "file-header-only", deep.substr(0, 14));
  ok &= Put(dir, "mark-only", "BM");
  // The larger headers, top-down rows, run-length codes, short tables.
  for (std::uint32_t header : {52u, 56u, 108u, 124u}) {
    const std::string name = "header" + std::to_string(header);
    Shape pal = Of(8);
    pal.headerSize = header;
    ok &= Put(dir, name + "-8", bmp_builder::Make(pal));
    Shape fields = Of(header == 52 ? 16 : 32, 3);
    fields.headerSize = header;
    ok &= Put(dir, name + "-fields", bmp_builder::Make(fields));
  }
  for (std::uint16_t bits : {1, 24, 32}) {
    Shape top = Of(bits);
    top.topDown = true;
    ok &= Put(dir, "top-down" + std::to_string(bits), bmp_builder::Make(top));
  }
  const char rle8[] = {2, 9, 0, 3, 1, 2, 3, 0, 1, 0, 0, 0, 2, 1, 1, 4, 7, 0, 0, 0, 1};
  Shape runs8 = Of(8, 1);
  runs8.codes.assign(rle8, sizeof rle8);
  ok &= Put(dir, "rle8", bmp_builder::Make(runs8));
  const char rle4[] = {5, 0x12, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 2, 1, 1, 0, 1};
  Shape runs4 = Of(4, 2);
  runs4.codes.assign(rle4, sizeof rle4);
  runs4.headerSize = 124;
  ok &= Put(dir, "rle4", bmp_builder::Make(runs4));
  Shape few = Of(4);
  few.tableEntries = 3;
  few.clrUsed = 3;
  ok &= Put(dir, "table-of-3", bmp_builder::Make(few));
  if (!ok) std::fprintf(stderr, "make_bmp_seeds: could not write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
