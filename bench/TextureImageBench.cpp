// Texture images: bringing a 4096 x 4096 RGBA picture to 256 x 256, and
// reading a 2048 x 1024 run-length encoded RGBE file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

#include "capture/ResampleTo256.h"
#include "capture/RgbeReader.h"

namespace {

void BM_ResampleTo256_4096Rgba(benchmark::State& state) {
  const int side = 4096;
  std::vector<unsigned char> source(static_cast<std::size_t>(side) * side * 4);
  std::mt19937 random(1);
  for (auto& b : source) b = static_cast<unsigned char>(random());
  std::vector<unsigned char> out(256 * 256 * 4);
  for (auto _ : state) {
    zem::ResampleTo256(side, side, source.data(), out.data(), 4);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
}

// A 2048 x 1024 sky: smooth gradients, as real environment maps are, so
// that the encoding has runs and literals both.
std::vector<unsigned char> RleFile(int width, int height) {
  std::vector<unsigned char> file;
  const std::string header =
      "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y " + std::to_string(height) + " +X " + std::to_string(width) + "\n";
  file.insert(file.end(), header.begin(), header.end());
  std::vector<unsigned char> plane(width);
  for (int y = 0; y < height; ++y) {
    file.insert(file.end(), {2, 2, static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width & 255)});
    for (int k = 0; k < 4; ++k) {
      for (int x = 0; x < width; ++x)
        plane[x] = k == 3 ? 128 : static_cast<unsigned char>((x / 16 + y / 8 + k * 40) & 255);
      // Runs of equal bytes, literals between them.
      int x = 0;
      while (x < width) {
        int run = 1;
        while (x + run < width && run < 127 && plane[x + run] == plane[x]) ++run;
        if (run >= 4) {
          file.push_back(static_cast<unsigned char>(128 + run));
          file.push_back(plane[x]);
          x += run;
        } else {
          int literal = 0;
          while (x + literal < width && literal < 128) ++literal;
          int end = x;
          while (end < x + literal) {
            int r = 1;
            while (end + r < width && r < 4 && plane[end + r] == plane[end]) ++r;
            if (r >= 4) break;
            end += r;
          }
          literal = end > x ? end - x : 1;
          if (literal > 128) literal = 128;
          file.push_back(static_cast<unsigned char>(literal));
          file.insert(file.end(), plane.begin() + x, plane.begin() + x + literal);
          x += literal;
        }
      }
    }
  }
  return file;
}

void BM_ReadRgbe_2048x1024Rle(benchmark::State& state) {
  const int width = 2048, height = 1024;
  std::vector<unsigned char> bytes = RleFile(width, height);
  std::vector<float> floats(static_cast<std::size_t>(width) * height * 3);
  for (auto _ : state) {
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    int w = 0, h = 0;
    if (zem::ReadRgbeHeader(file, &w, &h) != zem::RgbeResult::Ok ||
        zem::ReadRgbePixelsRle(file, floats.data(), w, h) != zem::RgbeResult::Ok) {
      state.SkipWithError("the generated file did not read");
    }
    std::fclose(file);
    benchmark::DoNotOptimize(floats.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

}  // namespace

BENCHMARK(BM_ResampleTo256_4096Rgba)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRgbe_2048x1024Rle)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
