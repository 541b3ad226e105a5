// The RGBE reader over arbitrary bytes: header, then pixels of the size the
// header declares (bounded, as the texture loader bounds it).
#include <cstdint>
#include <cstdio>
#include <vector>

#include "capture/RgbeReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (!file) return 0;
  int width = 0, height = 0;
  if (zem::ReadRgbeHeader(file, &width, &height) == zem::RgbeResult::Ok && width >= 1 && height >= 1 &&
      static_cast<long long>(width) * height <= 1 << 20) {
    std::vector<float> floats(static_cast<std::size_t>(width) * height * 3);
    zem::ReadRgbePixelsRle(file, floats.data(), width, height);
  }
  std::fclose(file);
  return 0;
}
