#include "capture/ResampleTo256.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<unsigned char> Resample(int width, int height, const std::vector<unsigned char>& source, int channels) {
  std::vector<unsigned char> out(256 * 256 * channels, 0xAB);
  zem::ResampleTo256(width, height, source.data(), out.data(), channels);
  return out;
}

TEST(ResampleTo256Test, OnePixelFillsTheWholeImage) {
  for (int channels : {3, 4}) {
    std::vector<unsigned char> source = {10, 200, 255, 77};
    source.resize(channels);
    auto out = Resample(1, 1, source, channels);
    for (int p = 0; p < 256 * 256; ++p)
      for (int k = 0; k < channels; ++k) ASSERT_EQ(out[p * channels + k], source[k]) << p;
  }
}

TEST(ResampleTo256Test, HalvingAveragesTwoByTwoBlocksTruncated) {
  std::mt19937 random(5);
  std::vector<unsigned char> source(512 * 512 * 3);
  for (auto& b : source) b = static_cast<unsigned char>(random());
  auto out = Resample(512, 512, source, 3);
  for (int i = 0; i < 256; ++i) {
    for (int j = 0; j < 256; ++j) {
      for (int k = 0; k < 3; ++k) {
        auto at = [&](int r, int c) { return source[(r * 512 + c) * 3 + k]; };
        int sum = at(2 * i, 2 * j) + at(2 * i, 2 * j + 1) + at(2 * i + 1, 2 * j) + at(2 * i + 1, 2 * j + 1);
        ASSERT_EQ(out[(i * 256 + j) * 3 + k], sum / 4) << i << "," << j;
      }
    }
  }
}

}  // namespace
