// libFuzzer target: the BMP checks and what the loader builds from an
// accepted file. libFuzzer hands each input in a buffer of exactly its size,
// so AddressSanitizer reports any read past the file's bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "wallpaper/bmp_file.h"

namespace {

// Touches every byte the loader and the painting would use.
void UseAccepted(const std::uint8_t* data, std::size_t size, const bmp::Layout& l) {
  if (l.file.bfSize > size || l.pixelOffset + l.pixelBytes > l.dataSize) std::abort();
  const std::uint8_t* fileData = data + bmp::kFileHeaderSize;
  std::vector<std::uint8_t> info(l.InfoSize());
  bmp::WriteInfoHeader(l, fileData, info.data());
  bmp::CopyColourTable(l, fileData, info.data());
  unsigned sum = 0;
  for (std::uint32_t i = 0; i < l.colourCount; ++i) {
    const bmp::Rgb c = bmp::ColourAt(l, fileData, i);
    sum += c.red + c.green + c.blue;
  }
  const std::uint8_t* pixels = fileData + l.pixelOffset;
  if (l.RunLength()) {
    sum += pixels[0] + pixels[l.pixelBytes - 1];
  } else {
    for (std::uint64_t i = 0; i < l.pixelBytes; i += l.stride)
      sum += pixels[i] + pixels[i + l.stride - 1];
  }
  volatile unsigned sink = sum;
  (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bmp::Layout whole;
  const bmp::Fault verdict = bmp::CheckHeaders(data, size, size, &whole);
  // The loader decides on the headers from the first 54 bytes and the file's
  // length, then on the run-length codes from the whole file.
  bmp::Layout head;
  const std::size_t headLength = size < bmp::kHeadersSize ? size : bmp::kHeadersSize;
  if (bmp::CheckHeaders(data, headLength, size, &head) != verdict) std::abort();
  if (verdict == bmp::Fault::None) {
    if (whole.pixelOffset + whole.pixelBytes > whole.dataSize) std::abort();
    const bmp::Fault pixels = bmp::CheckPixels(whole, data + bmp::kFileHeaderSize);
    bmp::Layout again;
    if (bmp::CheckFile(data, size, &again) != pixels) std::abort();
    if (pixels != bmp::Fault::None) return 0;
    if (whole.dataSize != head.dataSize || whole.pixelOffset != head.pixelOffset ||
        whole.pixelBytes != head.pixelBytes || whole.colourCount != head.colourCount) {
      std::abort();
    }
    UseAccepted(data, size, whole);
  }
  return 0;
}
