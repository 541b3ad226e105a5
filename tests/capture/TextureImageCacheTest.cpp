// Reading texture images: ordinary bitmaps and RGBE files, the tone
// mapping, the one-entry caches, and files that must not load.
#include "capture/TextureImageCache.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <cmath>
#include <memory>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/CaptureTestSupport.h"

namespace {

class TextureImageCacheTest : public zem::testing::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    cache = std::make_unique<zem::TextureImageCache>();
  }
  // A flat RGBE file of width x height whose scanline s has the pixel
  // bytes pixel(x, s).
  template <typename PixelOf>
  std::wstring Rgbe(const std::string& name, int width, int height, PixelOf pixel, std::size_t cut = 0) {
    std::string bytes =
        "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y " + std::to_string(height) + " +X " + std::to_string(width) + "\n";
    for (int s = 0; s < height; ++s)
      for (int x = 0; x < width; ++x) {
        auto p = pixel(x, s);
        bytes.append(reinterpret_cast<const char*>(p.data()), 4);
      }
    bytes.resize(bytes.size() - cut);
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return (folder / name).wstring();
  }
  std::unique_ptr<zem::TextureImageCache> cache;
};

using Rgbe4 = std::array<unsigned char, 4>;

TEST_F(TextureImageCacheTest, RgbeIsToneMappedWithTheTopScanlineAsTheLastRow) {
  // Scanline 0: value 1.0 (128 * 2^-7); scanline 1: 0.5; scanline 2: black
  // by exponent 0; scanline 3: 255.0, clamped to 255.
  const Rgbe4 scanlines[] = {{128, 128, 128, 129}, {128, 64, 0, 128}, {200, 200, 200, 0}, {255, 255, 255, 136}};
  std::wstring path = Rgbe("sky.hdr", 2, 4, [&](int, int s) { return scanlines[s]; });
  int width = 0, height = 0;
  zem::PixelBuffer rgb = zem::LoadImageRGB(*cache, path, width, height);
  ASSERT_TRUE(rgb);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 4);
  auto at = [&](int row, int x, int k) { return rgb[(row * 2 + x) * 3 + k]; };
  // File scanline 0 is the last row; 0.5 maps to 173; exponent 0 is black; 255.0 is clamped.
  EXPECT_EQ((std::vector<int>{at(3, 0, 0), at(2, 1, 0), at(2, 1, 1), at(2, 1, 2), at(1, 0, 0), at(0, 0, 2)}),
            (std::vector<int>{255, 173, static_cast<int>(std::pow(0.25f, 0.5555555820465088f) * 255.0f), 0, 0, 255}));

  zem::PixelBuffer rgba = zem::LoadImageRGBA(*cache, path, width, height);
  ASSERT_TRUE(rgba);
  EXPECT_EQ(rgba[(3 * 2) * 4 + 0], 255);
  for (int p = 0; p < 8; ++p) EXPECT_EQ(rgba[p * 4 + 3], 255);
}

// The floats of the last RGBE file are kept while its name, size, time of
// change and image size stay the same.
TEST_F(TextureImageCacheTest, AnRgbeFileIsReadAgainOnlyWhenChanged) {
  std::wstring path = Rgbe("a.hdr", 8, 2, [](int, int) { return Rgbe4{128, 128, 128, 129}; });
  const auto stamp = std::filesystem::last_write_time(folder / "a.hdr");
  const auto bytes = std::filesystem::file_size(folder / "a.hdr");
  int width = 0, height = 0;
  ASSERT_TRUE(zem::LoadImageRGB(*cache, path, width, height));
  // Other pixels behind the same size and time of change: the cached
  // floats serve, the pixels are not read again.
  Rgbe("a.hdr", 8, 2, [](int, int) { return Rgbe4{0, 0, 0, 0}; });
  std::filesystem::last_write_time(folder / "a.hdr", stamp);
  zem::PixelBuffer again = zem::LoadImageRGB(*cache, path, width, height);
  ASSERT_TRUE(again);
  EXPECT_EQ(again[0], 255);
  // 4 x 4 instead of 8 x 2: the same number of pixels, the same file size
  // and time of change; only the header tells.
  Rgbe("a.hdr", 4, 4, [](int, int) { return Rgbe4{64, 64, 64, 129}; });
  ASSERT_EQ(std::filesystem::file_size(folder / "a.hdr"), bytes);
  std::filesystem::last_write_time(folder / "a.hdr", stamp);
  zem::PixelBuffer square = zem::LoadImageRGB(*cache, path, width, height);
  ASSERT_TRUE(square);
  EXPECT_EQ(width, 4);
  EXPECT_EQ(square[0], 173);  // 0.5, read anew
  // An edited file is read anew.
  Rgbe("a.hdr", 4, 4, [](int, int) { return Rgbe4{0, 0, 0, 0}; });
  std::filesystem::last_write_time(folder / "a.hdr", stamp + std::chrono::seconds(5));
  zem::PixelBuffer edited = zem::LoadImageRGB(*cache, path, width, height);
  ASSERT_TRUE(edited);
  EXPECT_EQ(edited[0], 0);
}

// Truncated pixel data is not shown, and a huge header is refused before
// anything is allocated (65535 x 65535 pixels would take 51 GB of floats;
// the file holds four): nothing is cached either way.
TEST_F(TextureImageCacheTest, BrokenAndHugeRgbeFilesDoNotLoad) {
  int width = 0, height = 0;
  const auto grey = [](int, int) { return Rgbe4{128, 128, 128, 128}; };
  EXPECT_FALSE(zem::LoadImageRGB(*cache, Rgbe("short.hdr", 8, 4, grey, 5), width, height));
  std::ofstream(folder / "huge.hdr", std::ios::binary) << "#?RADIANCE\n\n-Y 65535 +X 65535\n"
                                                       << std::string(16, '\x80');
  std::ofstream(folder / "tall.hdr", std::ios::binary) << "#?RADIANCE\n\n-Y 60000 +X 500\n" << std::string(64, '\x80');
  EXPECT_FALSE(zem::LoadImageRGB(*cache, (folder / "huge.hdr").wstring(), width, height));
  EXPECT_FALSE(zem::LoadImageRGBA(*cache, (folder / "tall.hdr").wstring(), width, height));
  EXPECT_FALSE(zem::LoadImageRGB(*cache, (folder / "missing.hdr").wstring(), width, height));
  EXPECT_FALSE(cache->HoldsRgbeImage());
}

TEST_F(TextureImageCacheTest, BitmapAlphaZeroTurnsWhiteAndOpaqueBitmapsGetFullAlpha) {
  CRhinoDib withAlpha(2, 1, 32);
  withAlpha.SetPixel(0, 0, 10, 20, 30, 0);
  withAlpha.SetPixel(1, 0, 10, 20, 30, 77);
  ASSERT_TRUE(withAlpha.WriteToFile((folder / "a.png").wstring().c_str()));
  CRhinoDib opaque(2, 1, 24);
  opaque.SetPixel(0, 0, 1, 2, 3);
  ASSERT_TRUE(opaque.WriteToFile((folder / "o.png").wstring().c_str()));
  int width = 0, height = 0;
  zem::PixelBuffer a = zem::LoadImageRGBA(*cache, (folder / "a.png").wstring(), width, height);
  ASSERT_TRUE(a);
  EXPECT_EQ(std::vector<int>(a.get(), a.get() + 8), (std::vector<int>{255, 255, 255, 0, 10, 20, 30, 77}));
  zem::PixelBuffer o = zem::LoadImageRGBA(*cache, (folder / "o.png").wstring(), width, height);
  ASSERT_TRUE(o);
  EXPECT_EQ(std::pair(int{o[3]}, int{o[7]}), std::pair(255, 255));
}

TEST_F(TextureImageCacheTest, ABitmapIsReadAgainWhenNamedAfterAnotherOrEdited) {
  auto write = [&](const char* name, int red) {
    CRhinoDib dib(1, 1, 24);
    dib.SetPixel(0, 0, red, 0, 0);
    ASSERT_TRUE(dib.WriteToFile((folder / name).wstring().c_str()));
  };
  write("x.png", 100);
  write("y.png", 200);
  const auto stamp = std::filesystem::last_write_time(folder / "x.png");
  int width = 0, height = 0;
  ASSERT_EQ(zem::LoadImageRGB(*cache, (folder / "x.png").wstring(), width, height)[0], 100);
  // Named twice in a row and unchanged: the bitmap held serves.
  write("x.png", 50);
  std::filesystem::last_write_time(folder / "x.png", stamp);
  EXPECT_EQ(zem::LoadImageRGB(*cache, (folder / "x.png").wstring(), width, height)[0], 100);
  // Another bitmap in between: read again.
  EXPECT_EQ(zem::LoadImageRGB(*cache, (folder / "y.png").wstring(), width, height)[0], 200);
  EXPECT_EQ(zem::LoadImageRGB(*cache, (folder / "x.png").wstring(), width, height)[0], 50);
  // Edited: read again.
  write("x.png", 7);
  std::filesystem::last_write_time(folder / "x.png", stamp + std::chrono::seconds(5));
  EXPECT_EQ(zem::LoadImageRGB(*cache, (folder / "x.png").wstring(), width, height)[0], 7);
  // A failed read keeps the name of the bitmap held.
  EXPECT_FALSE(zem::LoadImageRGB(*cache, (folder / "none.png").wstring(), width, height));
  EXPECT_EQ(cache->HeldBitmapName(), (folder / "x.png").wstring());
}

}  // namespace
