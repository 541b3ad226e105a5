#include "capture/ResampleTo256.h"

#include <cmath>
#include <cstring>

namespace zem {

namespace {

// The source as the filter reads it: a pixel outside the image (the column
// just past the right edge that rounding can reach) adds nothing.
struct Source {
  const unsigned char* pixels;
  int width;
  int height;
  int channels;

  void Add(float* totals, int row, int column, float weight) const {
    if (row < 0 || row >= height || column < 0 || column >= width) return;
    const unsigned char* p = pixels + (static_cast<std::size_t>(row) * width + column) * channels;
    for (int k = 0; k < channels; ++k) totals[k] += p[k] * weight;
  }
};

}  // namespace

void ResampleTo256(int widthIn, int heightIn, const unsigned char* source, unsigned char* destination, int channels) {
  if (channels < 1 || channels > 4) return;
  if (widthIn < 1 || heightIn < 1 || !source) {
    std::memset(destination, 0, 256 * 256 * static_cast<std::size_t>(channels));
    return;
  }
  const Source src{source, widthIn, heightIn, channels};
  const float convx = widthIn * 0.00390625f;
  const float convy = heightIn * 0.00390625f;
  const int convxInt = static_cast<int>(std::floor(convx));
  const int convyInt = static_cast<int>(std::floor(convy));
  const float convxFrac = convx - convxInt;
  const float convyFrac = convy - convyInt;
  const float area = convx * convy;

  int lowYInt = 0, highYInt = convyInt;
  float lowYFrac = 0, highYFrac = convyFrac;
  for (int i = 0; i < 256; ++i) {
    // The last boxes end at row heightIn (or, by rounding, just past it).
    // That row is outside the source and adds nothing, like the column
    // widthIn at the right edge. Clamping the index to the last row instead
    // would give that row the weight of the missing one (zero), and the
    // bottom row of the output would come out too dark.
    int lowXInt = 0, highXInt = convxInt;
    float lowXFrac = 0, highXFrac = convxFrac;
    for (int j = 0; j < 256; ++j) {
      float totals[4] = {0, 0, 0, 0};
      if (highYInt > lowYInt && highXInt > lowXInt) {
        src.Add(totals, lowYInt, lowXInt, (1 - lowYFrac) * (1 - lowXFrac));
        for (int x = lowXInt + 1; x < highXInt; ++x) src.Add(totals, lowYInt, x, 1 - lowYFrac);
        src.Add(totals, lowYInt, highXInt, (1 - lowYFrac) * highXFrac);
        src.Add(totals, highYInt, lowXInt, highYFrac * (1 - lowXFrac));
        for (int x = lowXInt + 1; x < highXInt; ++x) src.Add(totals, highYInt, x, highYFrac);
        src.Add(totals, highYInt, highXInt, highYFrac * highXFrac);
        for (int y = lowYInt + 1; y < highYInt; ++y) {
          src.Add(totals, y, lowXInt, 1 - lowXFrac);
          src.Add(totals, y, highXInt, highXFrac);
        }
      } else if (highYInt > lowYInt) {
        const float p = highXFrac - lowXFrac;
        src.Add(totals, lowYInt, lowXInt, (1 - lowYFrac) * p);
        for (int y = lowYInt + 1; y < highYInt; ++y) src.Add(totals, y, lowXInt, p);
        src.Add(totals, highYInt, lowXInt, highYFrac * p);
      } else if (highXInt > lowXInt) {
        const float p = highYFrac - lowYFrac;
        src.Add(totals, lowYInt, lowXInt, p * (1 - lowXFrac));
        for (int x = lowXInt + 1; x < highXInt; ++x) src.Add(totals, lowYInt, x, p);
        src.Add(totals, lowYInt, highXInt, p * highXFrac);
      } else {
        src.Add(totals, lowYInt, lowXInt, (highYFrac - lowYFrac) * (highXFrac - lowXFrac));
      }
      for (int y = lowYInt + 1; y < highYInt; ++y)
        for (int x = lowXInt + 1; x < highXInt; ++x) src.Add(totals, y, x, 1.0f);

      unsigned char* out = destination + (static_cast<std::size_t>(i) * 256 + j) * channels;
      for (int k = 0; k < channels; ++k) {
        float v = totals[k] / area;
        // Rounding can carry an average a hair past the byte range.
        out[k] = static_cast<unsigned char>(v <= 0 ? 0 : v >= 255 ? 255 : static_cast<int>(v));
      }
      lowXInt = highXInt;
      lowXFrac = highXFrac;
      highXInt += convxInt;
      highXFrac += convxFrac;
      if (highXFrac > 1.0f) {
        highXFrac -= 1.0f;
        highXInt += 1;
      }
    }
    lowYInt = highYInt;
    lowYFrac = highYFrac;
    highYInt += convyInt;
    highYFrac += convyFrac;
    if (highYFrac > 1.0f) {
      highYFrac -= 1.0f;
      highYInt += 1;
    }
  }
}

}  // namespace zem
