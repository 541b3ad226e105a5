#include "capture/RgbeReader.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace zem {
namespace {

bool ReadLine(std::FILE* file, char (&line)[128]) { return std::fgets(line, sizeof line, file) != nullptr; }

}  // namespace

void RgbeToFloat(const unsigned char rgbe[4], float* red, float* green, float* blue) {
  if (rgbe[3] == 0) {
    *red = *green = *blue = 0.0f;
    return;
  }
  const float f = std::ldexp(1.0f, static_cast<int>(rgbe[3]) - 136);
  *red = rgbe[0] * f;
  *green = rgbe[1] * f;
  *blue = rgbe[2] * f;
}

RgbeResult ReadRgbeHeader(std::FILE* file, int* width, int* height) {
  char line[128];
  if (!ReadLine(file, line)) return RgbeResult::ReadFailed;
  // Header lines run up to an empty line; their contents are not examined.
  while (line[0] != '\0' && line[0] != '\n') {
    if (!ReadLine(file, line)) return RgbeResult::ReadFailed;
  }
  if (!ReadLine(file, line)) return RgbeResult::ReadFailed;
  if (std::sscanf(line, "-Y %d +X %d", height, width) < 2) return RgbeResult::MissingImageSize;
  return RgbeResult::Ok;
}

RgbeResult ReadRgbePixelsFlat(std::FILE* file, float* data, int pixelCount) {
  unsigned char rgbe[4];
  for (int i = 0; i < pixelCount; ++i) {
    if (std::fread(rgbe, 4, 1, file) < 1) return RgbeResult::ReadFailed;
    RgbeToFloat(rgbe, &data[0], &data[1], &data[2]);
    data += 3;
  }
  return RgbeResult::Ok;
}

RgbeResult ReadRgbePixelsRle(std::FILE* file, float* data, int width, int scanlines) {
  if (width < 8 || width > 0x7fff) return ReadRgbePixelsFlat(file, data, width * scanlines);
  std::vector<unsigned char> buffer;
  for (int left = scanlines; left > 0; --left) {
    unsigned char head[4];
    if (std::fread(head, 4, 1, file) < 1) return RgbeResult::ReadFailed;
    if (head[0] != 2 || head[1] != 2 || (head[2] & 0x80)) {
      // Not run-length encoded: this was the first pixel of flat data.
      RgbeToFloat(head, &data[0], &data[1], &data[2]);
      return ReadRgbePixelsFlat(file, data + 3, width * left - 1);
    }
    if ((head[2] << 8 | head[3]) != width) return RgbeResult::WrongScanlineWidth;
    if (buffer.empty()) buffer.resize(4 * static_cast<std::size_t>(width));

    for (int plane = 0; plane < 4; ++plane) {
      unsigned char* at = buffer.data() + plane * width;
      unsigned char* end = at + width;
      while (at < end) {
        unsigned char pair[2];
        if (std::fread(pair, 2, 1, file) < 1) return RgbeResult::ReadFailed;
        int count = pair[0];
        if (count > 128) {
          count -= 128;
          if (count > end - at) return RgbeResult::BadScanlineData;
          std::memset(at, pair[1], count);
          at += count;
        } else {
          if (count == 0 || count > end - at) return RgbeResult::BadScanlineData;
          *at++ = pair[1];
          if (--count > 0 && std::fread(at, count, 1, file) < 1) return RgbeResult::ReadFailed;
          at += count;
        }
      }
    }
    for (int x = 0; x < width; ++x) {
      const unsigned char rgbe[4] = {buffer[x], buffer[width + x], buffer[2 * width + x], buffer[3 * width + x]};
      RgbeToFloat(rgbe, &data[0], &data[1], &data[2]);
      data += 3;
    }
  }
  return RgbeResult::Ok;
}

}  // namespace zem
