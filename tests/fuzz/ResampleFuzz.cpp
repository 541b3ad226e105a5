// ResampleTo256 over arbitrary sizes up to 2048 pixels a side, 3 or 4
// channels: the source buffer is exactly as large as its size says, so the
// sanitizer sees any read outside it.
#include <cstdint>
#include <vector>

#include "capture/ResampleTo256.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const int width = 1 + ((data[0] | data[1] << 8) % 2048);
  const int height = 1 + ((data[2] | data[3] << 8) % 2048);
  const int channels = (data[4] & 1) ? 4 : 3;
  std::vector<unsigned char> source(static_cast<std::size_t>(width) * height * channels);
  // The pixels repeat the rest of the input (black when there is none).
  if (size > 5)
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = data[5 + i % (size - 5)];
  std::vector<unsigned char> out(256 * 256 * channels);
  zem::ResampleTo256(width, height, source.data(), out.data(), channels);
  return 0;
}
