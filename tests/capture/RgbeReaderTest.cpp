#include "capture/RgbeReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace zem;
using Bytes = std::vector<unsigned char>;

// An in-memory file for the reader.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& text) : MemoryFile(Bytes(text.begin(), text.end())) {}
  explicit MemoryFile(const Bytes& bytes) {
    file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
  }
  ~MemoryFile() { std::fclose(file); }
  std::FILE* file;
};

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::string kHeader = "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\nEXPOSURE=1.0\n\n";

// Header lines are skipped up to the empty line, which may also come first.
TEST(RgbeReaderTest, ReadsTheSizeAfterTheHeaderLines) {
  for (const std::string& header : {kHeader, std::string("\n")}) {
    MemoryFile f(header + "-Y 7 +X 13\n");
    int width = 0, height = 0;
    ASSERT_EQ(ReadRgbeHeader(f.file, &width, &height), RgbeResult::Ok) << header;
    EXPECT_EQ(width, 13);
    EXPECT_EQ(height, 7);
  }
}

TEST(RgbeReaderTest, RejectsOtherOrientationsMissingSizesAndAFileEndingInTheHeader) {
  for (const std::string sizeLine : {"+Y 2 +X 3\n", "-Y 2 -X 3\n", "-Y 2\n", "garbage\n"}) {
    MemoryFile f(kHeader + sizeLine);
    int width = 0, height = 0;
    EXPECT_EQ(ReadRgbeHeader(f.file, &width, &height), RgbeResult::MissingImageSize) << sizeLine;
  }
  MemoryFile f(std::string("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n"));
  int width = 0, height = 0;
  EXPECT_EQ(ReadRgbeHeader(f.file, &width, &height), RgbeResult::ReadFailed);
}

TEST(RgbeReaderTest, ReadsNarrowScanlinesFlat) {
  // Width 3 is below the run-length minimum: plain 4-byte pixels.
  MemoryFile f(Bytes{128, 0, 0, 129, 0, 128, 0, 129, 0, 0, 128, 129, 255, 255, 255, 0, 1, 2, 3, 136, 64, 64, 64, 128});
  std::vector<float> data(3 * 2 * 3);
  ASSERT_EQ(ReadRgbePixelsRle(f.file, data.data(), 3, 2), RgbeResult::Ok);
  const std::vector<float> expected = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3, 0.25f, 0.25f, 0.25f};
  EXPECT_EQ(data, expected);
}

// One run-length encoded scanline of width w whose four planes are each
// given as the encoded bytes.
Bytes Scanline(int width, const Bytes& red, const Bytes& green, const Bytes& blue, const Bytes& exponent) {
  return Bytes{2, 2, static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width & 0xff)} + red + green +
         blue + exponent;
}

TEST(RgbeReaderTest, DecodesRunsAndLiterals) {
  // Width 130: a literal of 128 bytes (count 128) and a run of 2 (count 130).
  Bytes literal{128};
  for (int i = 0; i < 128; ++i) literal.push_back(static_cast<unsigned char>(i));
  Bytes red = literal + Bytes{130, 200};
  Bytes green = Bytes{129, 7} + Bytes{128 + 127, 9} + Bytes{128 + 2, 11};
  Bytes blue = Bytes{128 + 127, 0} + Bytes{128 + 3, 5};
  Bytes exponent = Bytes{128 + 127, 136} + Bytes{128 + 3, 136};
  MemoryFile f(Scanline(130, red, green, blue, exponent));
  std::vector<float> data(130 * 3, -1.0f);
  ASSERT_EQ(ReadRgbePixelsRle(f.file, data.data(), 130, 1), RgbeResult::Ok);
  // Pixels 0, 1, 127, 128 and 129 of each plane.
  const auto plane = [&](int k) {
    return std::vector<float>{data[k], data[3 + k], data[3 * 127 + k], data[3 * 128 + k], data[3 * 129 + k]};
  };
  EXPECT_EQ(plane(0), (std::vector<float>{0, 1, 127, 200, 200})) << "a literal, then a run";
  EXPECT_EQ(plane(1), (std::vector<float>{7, 9, 9, 11, 11})) << "runs of 1, 127 and 2";
  EXPECT_EQ(plane(2), (std::vector<float>{0, 0, 5, 5, 5}));
}

TEST(RgbeReaderTest, ReadsAFileWhoseScanlinesAreNotEncodedFlat) {
  // Width 8 could be encoded, but the first pixel does not start with 2, 2.
  Bytes pixels;
  for (int i = 0; i < 16; ++i) pixels = pixels + Bytes{static_cast<unsigned char>(i), 0, 0, 136};
  MemoryFile f(pixels);
  std::vector<float> data(16 * 3);
  ASSERT_EQ(ReadRgbePixelsRle(f.file, data.data(), 8, 2), RgbeResult::Ok);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(data[3 * i], i);
}

// A width other than the image's, a run or literal past the end of its
// plane, a zero count, and data that ends early.
TEST(RgbeReaderTest, RejectsBadScanlinesAndReportsTruncatedData) {
  const Bytes fullPlane{128 + 8, 1};
  const std::pair<Bytes, RgbeResult> cases[] = {
      {Bytes{2, 2, 0, 9}, RgbeResult::WrongScanlineWidth},
      {Scanline(8, Bytes{128 + 9, 1}, fullPlane, fullPlane, fullPlane), RgbeResult::BadScanlineData},
      {Scanline(8, Bytes{0, 1}, fullPlane, fullPlane, fullPlane), RgbeResult::BadScanlineData},
      {Scanline(8, Bytes{9, 1, 2, 3, 4, 5, 6, 7, 8, 9}, fullPlane, fullPlane, fullPlane), RgbeResult::BadScanlineData},
      {Scanline(8, fullPlane, fullPlane, fullPlane, Bytes{}), RgbeResult::ReadFailed},
      {Scanline(8, Bytes{8, 1, 2}, Bytes{}, Bytes{}, Bytes{}), RgbeResult::ReadFailed},
      {Bytes{1, 2, 3, 4, 5, 6}, RgbeResult::ReadFailed},
  };
  for (const auto& [bytes, why] : cases) {
    MemoryFile f(bytes);
    std::vector<float> data(8 * 2 * 3);
    EXPECT_EQ(ReadRgbePixelsRle(f.file, data.data(), 8, why == RgbeResult::ReadFailed ? 2 : 1), why) << bytes.size();
  }
}

}  // namespace
