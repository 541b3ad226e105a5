// The RGBE reader over arbitrary bytes: header, then pixels of the size the
// header declares (bounded, as the texture loader bounds it).
#include <cstdint>
#include <cstdio>
#include <vector>

#include "capture/RgbeReader.h"

// The reader reports every bad input on the standard error stream; over
// millions of inputs that would only flood the log. Its messages go to
// /dev/null, while the fuzzer and the sanitizers keep writing their reports
// to the real standard error (they hold their own handle of it).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::FILE* quiet = std::fopen("/dev/null", "w")) stderr = quiet;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (!file) return 0;
  int width = 0, height = 0;
  if (ReadRgbeHeader(file, &width, &height) == 0 && width >= 1 && height >= 1 &&
      static_cast<long long>(width) * height <= 1 << 20) {
    std::vector<float> floats(static_cast<std::size_t>(width) * height * 3);
    ReadRgbePixelsRle(file, floats.data(), width, height);
  }
  std::fclose(file);
  return 0;
}
