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
  if (!ok) std::fprintf(stderr, "make_bmp_seeds: could not write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
