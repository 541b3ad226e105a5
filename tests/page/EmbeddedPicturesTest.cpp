// Decodes every picture the page embeds, straight from the linked data, and
// checks what the page and the viewer rely on: sizes, formats and alpha.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "page/EmbeddedAssets.h"

namespace {

using zem::assets::Blob;

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

struct JpegInfo {
  bool ok = false;
  bool progressive = true;
  unsigned width = 0, height = 0;
  int components = 0;
};

// Decodes the whole picture so that damaged data fails too.
JpegInfo DecodeJpeg(const Blob& blob) {
  JpegInfo info;
  jpeg_decompress_struct cinfo;
  JpegErrorManager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnJpegError;
  std::vector<unsigned char> row;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return JpegInfo{};
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, blob.data, static_cast<unsigned long>(blob.size));
  jpeg_read_header(&cinfo, TRUE);
  info.progressive = jpeg_has_multiple_scans(&cinfo) || cinfo.progressive_mode;
  jpeg_start_decompress(&cinfo);
  row.resize(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
  }
  info.width = cinfo.output_width;
  info.height = cinfo.output_height;
  info.components = cinfo.output_components;
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  info.ok = true;
  return info;
}

enum class Alpha { Opaque, SeeThroughCorner, Any };

struct PngCase {
  const char* name;
  Blob blob;
  std::uint32_t width, height;
  Alpha alpha;
};

class EmbeddedPicturesTest : public ::testing::TestWithParam<PngCase> {};

// Older browsers show progressive JPEG data URIs late or not at all.
TEST_F(EmbeddedPicturesTest, JpegsAreBaselineRgbOfTheirSize) {
  const std::pair<Blob, unsigned> jpegs[] = {{zem::assets::CubeFace(1), 64}, {zem::assets::CubeFace(2), 64},
                                             {zem::assets::CubeFace(3), 64}, {zem::assets::CubeFace(4), 64},
                                             {zem::assets::CubeFace(5), 64}, {zem::assets::CubeFace(6), 64},
                                             {zem::assets::PageEdge(), 2}};
  for (std::size_t i = 0; i < std::size(jpegs); ++i) {
    SCOPED_TRACE(i);
    const auto& [blob, side] = jpegs[i];
    ASSERT_NE(blob.data, nullptr);
    const JpegInfo info = DecodeJpeg(blob);
    ASSERT_TRUE(info.ok);
    EXPECT_FALSE(info.progressive);
    EXPECT_EQ((std::vector<unsigned>{info.width, info.height, static_cast<unsigned>(info.components)}),
              (std::vector<unsigned>{side, side, 3}));
  }
}

// The overlays lie over the model and must let it show around their shape;
// the backdrop is the window's ground and must hide what lies under it.
TEST_P(EmbeddedPicturesTest, PngDecodesAtItsSizeWithTheAlphaThePageNeeds) {
  const PngCase& c = GetParam();
  ASSERT_NE(c.blob.data, nullptr);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, c.blob.data, c.blob.size));
  EXPECT_EQ(image.width, c.width);
  EXPECT_EQ(image.height, c.height);
  if (c.alpha == Alpha::SeeThroughCorner) {
    EXPECT_TRUE(image.format & PNG_FORMAT_FLAG_ALPHA);
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
  auto alphaAt = [&](std::uint32_t x, std::uint32_t y) { return pixels[(std::size_t{y} * c.width + x) * 4 + 3]; };
  if (c.alpha == Alpha::Opaque) {
    for (std::uint32_t y = 0; y < c.height; ++y) ASSERT_EQ(alphaAt(0, y), 255) << "row " << y;
  } else if (c.alpha == Alpha::SeeThroughCorner) {
    EXPECT_EQ(alphaAt(c.width - 1, 0), 0) << "the top right corner shows what lies below";
  }
}

INSTANTIATE_TEST_SUITE_P(Pngs, EmbeddedPicturesTest,
                         ::testing::Values(PngCase{"backdrop", zem::assets::Backdrop(), 8, 800, Alpha::Opaque},
                                           PngCase{"band", zem::assets::Band(), 8, 910, Alpha::Any},
                                           PngCase{"corner", zem::assets::PageCorner(), 128, 128,
                                                   Alpha::SeeThroughCorner},
                                           PngCase{"fold", zem::assets::Fold(), 51, 70, Alpha::SeeThroughCorner},
                                           PngCase{"logo", zem::assets::Logo(), 150, 33, Alpha::SeeThroughCorner}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
