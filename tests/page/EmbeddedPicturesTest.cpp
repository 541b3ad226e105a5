// Decodes every picture the page embeds, straight from the linked data, and
// checks what the page and the viewer rely on: sizes, formats, transparency,
// and for the environment cube that its faces join up and keep the sky up.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "page/EmbeddedAssets.h"

namespace {

using zem::assets::Blob;

// ---------------------------------------------------------------------------
// Decoding helpers

struct Raster {
  unsigned width = 0;
  unsigned height = 0;
  int channels = 0;  // 3 for JPEG (RGB), 4 for PNG (decoded as RGBA)
  std::vector<unsigned char> pixels;

  const unsigned char* At(unsigned x, unsigned y) const {
    return &pixels[(static_cast<std::size_t>(y) * width + x) * channels];
  }
};

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

struct JpegResult {
  bool ok = false;
  bool multipleScans = true;
  std::string error;
};

// Only trivially destructible locals live between setjmp and longjmp here;
// the output raster belongs to the caller.
JpegResult DecodeJpeg(const Blob& blob, Raster* out) {
  JpegResult result;
  jpeg_decompress_struct cinfo;
  JpegErrorManager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnJpegError;
  if (setjmp(err.jump)) {
    result.error = err.message;
    jpeg_destroy_decompress(&cinfo);
    return result;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, blob.data, static_cast<unsigned long>(blob.size));
  jpeg_read_header(&cinfo, TRUE);
  result.multipleScans = jpeg_has_multiple_scans(&cinfo) || cinfo.progressive_mode;
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  out->width = cinfo.output_width;
  out->height = cinfo.output_height;
  out->channels = cinfo.output_components;
  out->pixels.resize(static_cast<std::size_t>(out->width) * out->height * out->channels);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = &out->pixels[static_cast<std::size_t>(cinfo.output_scanline) * out->width *
                                out->channels];
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  result.ok = true;
  return result;
}

// Start-of-frame marker codes (0xC0..0xCF without DHT, JPG and DAC) met
// before the first scan, read directly from the segment structure.
std::vector<int> JpegFrameMarkers(const Blob& blob) {
  std::vector<int> found;
  const unsigned char* d = blob.data;
  if (blob.size < 4 || d[0] != 0xFF || d[1] != 0xD8) return found;
  std::size_t pos = 2;
  while (pos + 4 <= blob.size && d[pos] == 0xFF) {
    const int marker = d[pos + 1];
    if (marker == 0xFF) {
      ++pos;
      continue;
    }
    const std::size_t length = (static_cast<std::size_t>(d[pos + 2]) << 8) | d[pos + 3];
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
      found.push_back(marker);
    if (marker == 0xDA) break;
    pos += 2 + length;
  }
  return found;
}

struct PngHeader {
  bool valid = false;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;
  int colourType = -1;
};

std::uint32_t BigEndian32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

PngHeader ReadPngHeader(const Blob& blob) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PngHeader h;
  if (blob.size < 33 || !std::equal(kSignature, kSignature + 8, blob.data)) return h;
  if (BigEndian32(blob.data + 8) != 13 || std::string(blob.data + 12, blob.data + 16) != "IHDR")
    return h;
  h.width = BigEndian32(blob.data + 16);
  h.height = BigEndian32(blob.data + 20);
  h.bitDepth = blob.data[24];
  h.colourType = blob.data[25];
  h.valid = true;
  return h;
}

// Full decode through libpng (checks the compressed data and CRCs too).
bool DecodePngRgba(const Blob& blob, Raster* out, std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, blob.data, blob.size)) {
    *error = image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  out->width = image.width;
  out->height = image.height;
  out->channels = 4;
  out->pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out->pixels.data(), 0, nullptr)) {
    *error = image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

Raster MustDecodePng(const Blob& blob) {
  Raster r;
  std::string error;
  EXPECT_TRUE(DecodePngRgba(blob, &r, &error)) << error;
  return r;
}

double Luma(const unsigned char* p) { return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]; }

// ---------------------------------------------------------------------------
// Environment cube geometry: the viewer uploads the faces with the Y flip
// on and samples them with world directions (Z up).

constexpr int kFaceSize = 64;

struct Vec3 {
  double x, y, z;
};

Vec3 FaceDirection(int face, double sc, double tc) {
  switch (face) {
    case 0: return {1.0, -tc, -sc};   // +X
    case 1: return {-1.0, -tc, sc};   // -X
    case 2: return {sc, 1.0, tc};     // +Y
    case 3: return {sc, -1.0, -tc};   // -Y
    case 4: return {sc, -tc, 1.0};    // +Z
    default: return {-sc, -tc, -1.0}; // -Z
  }
}

struct FacePixel {
  int face;
  int x;
  int y;
};

// Which face and image pixel a direction hits (major axis selection).
FacePixel LookupDirection(const Vec3& r) {
  const double ax = std::abs(r.x), ay = std::abs(r.y), az = std::abs(r.z);
  int face;
  double sc, tc, m;
  if (ax >= ay && ax >= az) {
    face = r.x > 0 ? 0 : 1;
    sc = r.x > 0 ? -r.z : r.z;
    tc = -r.y;
    m = ax;
  } else if (ay >= az) {
    face = r.y > 0 ? 2 : 3;
    sc = r.x;
    tc = r.y > 0 ? r.z : -r.z;
    m = ay;
  } else {
    face = r.z > 0 ? 4 : 5;
    sc = r.z > 0 ? r.x : -r.x;
    tc = -r.y;
    m = az;
  }
  sc /= m;
  tc /= m;
  const double px = (sc + 1.0) / 2.0 * kFaceSize - 0.5;
  const double py = (1.0 - (tc + 1.0) / 2.0) * kFaceSize - 0.5;
  auto clampPixel = [](double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, kFaceSize - 1);
  };
  return {face, clampPixel(px), clampPixel(py)};
}

std::array<Raster, 6> DecodeCube() {
  std::array<Raster, 6> faces;
  for (int k = 1; k <= 6; ++k) {
    const JpegResult res = DecodeJpeg(zem::assets::CubeFace(k), &faces[k - 1]);
    EXPECT_TRUE(res.ok) << "cube" << k << ".jpg: " << res.error;
  }
  return faces;
}

bool CubeDecodedAtFullSize(const std::array<Raster, 6>& faces) {
  return std::all_of(faces.begin(), faces.end(), [](const Raster& f) {
    return f.width == kFaceSize && f.height == kFaceSize && f.channels == 3;
  });
}

const unsigned char* Sample(const std::array<Raster, 6>& faces, const Vec3& r) {
  const FacePixel p = LookupDirection(r);
  return faces[p.face].At(p.x, p.y);
}

Vec3 FromAngles(double azimuthDeg, double elevationDeg) {
  const double az = azimuthDeg * M_PI / 180.0, el = elevationDeg * M_PI / 180.0;
  return {std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
}

// ---------------------------------------------------------------------------
// JPEG pictures

TEST(EmbeddedPicturesTest, JpegPicturesAreBaselineRgbOfTheirSize) {
  struct Case {
    std::string name;
    Blob blob;
    unsigned size;
  };
  std::vector<Case> cases;
  for (int k = 1; k <= 6; ++k)
    cases.push_back({"cube" + std::to_string(k) + ".jpg", zem::assets::CubeFace(k), kFaceSize});
  cases.push_back({"edge.jpg", zem::assets::PageEdge(), 2});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.blob.data, nullptr);
    const std::vector<int> frames = JpegFrameMarkers(c.blob);
    EXPECT_EQ(frames, std::vector<int>{0xC0}) << "expected exactly one baseline frame (SOF0)";

    Raster r;
    const JpegResult res = DecodeJpeg(c.blob, &r);
    ASSERT_TRUE(res.ok) << res.error;
    EXPECT_FALSE(res.multipleScans);
    EXPECT_EQ(r.width, c.size);
    EXPECT_EQ(r.height, c.size);
    EXPECT_EQ(r.channels, 3);
  }
}

// The page edge lies behind the white help text once the page is turned.
TEST(EmbeddedPicturesTest, PageEdgeIsPlainAndDarkBehindWhiteText) {
  Raster r;
  const JpegResult res = DecodeJpeg(zem::assets::PageEdge(), &r);
  ASSERT_TRUE(res.ok) << res.error;
  ASSERT_EQ(r.pixels.size(), 2u * 2u * 3u);
  for (unsigned y = 0; y < r.height; ++y)
    for (unsigned x = 0; x < r.width; ++x) {
      const unsigned char* p = r.At(x, y);
      EXPECT_LT(Luma(p), 80.0) << "white text needs a dark ground, pixel " << x << "," << y;
      EXPECT_TRUE(std::equal(p, p + 3, r.At(0, 0))) << "edge colour should be uniform";
    }
}

// ---------------------------------------------------------------------------
// Environment cube

TEST(EmbeddedPicturesTest, CubeFacesJoinWithoutSeams) {
  const std::array<Raster, 6> faces = DecodeCube();
  ASSERT_TRUE(CubeDecodedAtFullSize(faces));

  // Step half a pixel past each border pixel in direction space: the
  // direction lands on the neighbouring face, whose pixel must look alike.
  int worst = 0;
  double total = 0.0;
  int count = 0;
  const double out = 1.0 + 1.0 / kFaceSize;
  for (int k = 0; k < 6; ++k) {
    for (int i = 0; i < kFaceSize; ++i) {
      const double along = 2.0 * (i + 0.5) / kFaceSize - 1.0;  // sc of column i
      const double alongT = -along;                           // tc of row i
      const struct {
        int x, y;
        double sc, tc;
      } borders[4] = {{0, i, -out, alongT},
                      {kFaceSize - 1, i, out, alongT},
                      {i, 0, along, out},
                      {i, kFaceSize - 1, along, -out}};
      for (const auto& b : borders) {
        const FacePixel other = LookupDirection(FaceDirection(k, b.sc, b.tc));
        ASSERT_NE(other.face, k);
        const unsigned char* p = faces[k].At(b.x, b.y);
        const unsigned char* q = faces[other.face].At(other.x, other.y);
        int d = 0;
        for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int{p[c]} - int{q[c]}));
        worst = std::max(worst, d);
        total += d;
        ++count;
      }
    }
  }
  EXPECT_LE(worst, 24) << "a seam pixel differs sharply from its neighbour across the edge";
  EXPECT_LE(total / count, 6.0) << "faces do not line up along their shared edges";
}

TEST(EmbeddedPicturesTest, CubeShowsSkyAboveAndGroundBelow) {
  const std::array<Raster, 6> faces = DecodeCube();
  ASSERT_TRUE(CubeDecodedAtFullSize(faces));

  // All round the horizon, looking up must see blue sky and looking down
  // neutral-to-warm ground; this pins the Z-up orientation of every face.
  for (int azimuth = 0; azimuth < 360; azimuth += 15) {
    SCOPED_TRACE("azimuth " + std::to_string(azimuth));
    for (int elevation : {20, 50, 75}) {
      const unsigned char* sky = Sample(faces, FromAngles(azimuth, elevation));
      EXPECT_GT(int{sky[2]}, int{sky[0]} + 15) << "sky at elevation " << elevation;
    }
    for (int elevation : {-20, -50, -75}) {
      const unsigned char* ground = Sample(faces, FromAngles(azimuth, elevation));
      EXPECT_GE(int{ground[0]}, int{ground[2]}) << "ground at elevation " << elevation;
    }
    const double horizon = Luma(Sample(faces, FromAngles(azimuth, 0.5)));
    EXPECT_GT(horizon, Luma(Sample(faces, FromAngles(azimuth, -30))));
    EXPECT_GT(horizon, Luma(Sample(faces, FromAngles(azimuth, 60))));
  }
  const double zenith = Luma(Sample(faces, {0, 0, 1}));
  const double nadir = Luma(Sample(faces, {0, 0, -1}));
  EXPECT_LT(nadir, zenith) << "the ground should darken towards the nadir";
  EXPECT_LT(zenith, Luma(Sample(faces, FromAngles(0, 10)))) << "the sky should deepen upwards";
}

// ---------------------------------------------------------------------------
// PNG pictures

TEST(EmbeddedPicturesTest, PngPicturesHaveTheirSizeAndColourType) {
  struct Case {
    const char* name;
    Blob blob;
    std::uint32_t width, height;
    bool needsAlpha;
  };
  const Case cases[] = {
      {"backdrop.png", zem::assets::Backdrop(), 8, 800, false},
      {"band.png", zem::assets::Band(), 8, 910, false},
      {"corner.png", zem::assets::PageCorner(), 128, 128, true},
      {"fold.png", zem::assets::Fold(), 51, 70, true},
      {"logo.png", zem::assets::Logo(), 150, 33, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.blob.data, nullptr);
    const PngHeader h = ReadPngHeader(c.blob);
    ASSERT_TRUE(h.valid) << "not a PNG with a leading IHDR chunk";
    EXPECT_EQ(h.width, c.width);
    EXPECT_EQ(h.height, c.height);
    EXPECT_EQ(h.bitDepth, 8);
    if (c.needsAlpha) {
      EXPECT_EQ(h.colourType, PNG_COLOR_TYPE_RGB_ALPHA);
    }

    Raster r;
    std::string error;
    ASSERT_TRUE(DecodePngRgba(c.blob, &r, &error)) << error;
    EXPECT_EQ(r.width, c.width);
    EXPECT_EQ(r.height, c.height);
  }
}

TEST(EmbeddedPicturesTest, StretchedStripsAreUniformAcrossAndSmoothDown) {
  // Both strips are stretched or repeated sideways over the whole window:
  // any difference between columns would show as stripes, and a jump
  // between rows as a visible band edge.
  for (const Blob& blob : {zem::assets::Backdrop(), zem::assets::Band()}) {
    const Raster r = MustDecodePng(blob);
    ASSERT_GT(r.height, 1u);
    SCOPED_TRACE(std::to_string(r.width) + "x" + std::to_string(r.height));
    int worstStep = 0;
    for (unsigned y = 0; y < r.height; ++y) {
      for (unsigned x = 1; x < r.width; ++x)
        ASSERT_TRUE(std::equal(r.At(x, y), r.At(x, y) + 4, r.At(0, y))) << "row " << y;
      if (y > 0)
        for (int c = 0; c < 4; ++c)
          worstStep = std::max(worstStep, std::abs(int{r.At(0, y)[c]} - int{r.At(0, y - 1)[c]}));
    }
    EXPECT_LE(worstStep, 16);
  }
}

TEST(EmbeddedPicturesTest, BackdropIsAGradientAroundThePageColour) {
  const Raster r = MustDecodePng(zem::assets::Backdrop());
  ASSERT_EQ(r.height, 800u);
  const unsigned char pageColour[3] = {0x0e, 0x2b, 0x4d};
  int nearest = 255;
  double brightest = 0.0;
  for (unsigned y = 0; y < r.height; ++y) {
    const unsigned char* p = r.At(0, y);
    EXPECT_EQ(p[3], 255) << "backdrop must be opaque, row " << y;
    int d = 0;
    for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int{p[c]} - int{pageColour[c]}));
    nearest = std::min(nearest, d);
    brightest = std::max(brightest, Luma(p));
  }
  EXPECT_LE(nearest, 3) << "the page colour should appear in the gradient";
  EXPECT_GT(brightest, Luma(pageColour) + 10.0) << "no lighter part to the gradient";
  EXPECT_LT(Luma(r.At(0, r.height - 1)), Luma(pageColour)) << "bottom should be darker";
}

TEST(EmbeddedPicturesTest, BandFadesToNothingAtTopAndBottom) {
  const Raster r = MustDecodePng(zem::assets::Band());
  ASSERT_EQ(r.height, 910u);
  EXPECT_EQ(r.At(0, 0)[3], 0);
  EXPECT_EQ(r.At(0, r.height - 1)[3], 0);
  // The glow is strongest around the middle, where the model frame sits.
  int peakRow = 0;
  for (unsigned y = 0; y < r.height; ++y)
    if (r.At(0, y)[3] > r.At(0, peakRow)[3]) peakRow = static_cast<int>(y);
  EXPECT_GT(r.At(0, peakRow)[3], 0);
  EXPECT_GT(peakRow, static_cast<int>(r.height) / 5);
  EXPECT_LT(peakRow, static_cast<int>(r.height) * 4 / 5);
}

TEST(EmbeddedPicturesTest, OverlayPicturesAreTransparentAroundTheirShape) {
  {
    SCOPED_TRACE("corner.png");
    const Raster r = MustDecodePng(zem::assets::PageCorner());
    ASSERT_EQ(r.width, 128u);
    ASSERT_EQ(r.height, 128u);
    // Lower-left triangle: the opaque back of the page; far side of the
    // fold: transparent apart from a shadow close to the diagonal.
    for (unsigned y = 0; y < r.height; ++y)
      for (unsigned x = 0; x < r.width; ++x) {
        const int across = static_cast<int>(y) - static_cast<int>(x);
        if (across >= 2) {
          ASSERT_EQ(r.At(x, y)[3], 255) << x << "," << y;
          ASSERT_GT(Luma(r.At(x, y)), 150.0) << "paper should be light, " << x << "," << y;
        } else if (across <= -64) {
          ASSERT_EQ(r.At(x, y)[3], 0) << x << "," << y;
        }
      }
  }
  {
    SCOPED_TRACE("fold.png");
    const Raster r = MustDecodePng(zem::assets::Fold());
    ASSERT_EQ(r.width, 51u);
    EXPECT_EQ(r.At(r.width - 1, 0)[3], 0) << "the folded-away corner must be see-through";
    EXPECT_EQ(r.At(0, r.height - 1)[3], 0);
    int opaqueLight = 0;
    for (unsigned y = 0; y < r.height; ++y)
      for (unsigned x = 0; x < r.width; ++x)
        if (r.At(x, y)[3] == 255 && Luma(r.At(x, y)) > 180.0) ++opaqueLight;
    EXPECT_GT(opaqueLight, static_cast<int>(r.width * r.height) / 8) << "no paper flap to see";
  }
  {
    SCOPED_TRACE("logo.png");
    const Raster r = MustDecodePng(zem::assets::Logo());
    ASSERT_EQ(r.width, 150u);
    for (unsigned x : {0u, r.width - 1})
      for (unsigned y : {0u, r.height - 1}) EXPECT_EQ(r.At(x, y)[3], 0) << x << "," << y;
    int opaque = 0, partial = 0;
    double lumaSum = 0.0;
    for (unsigned y = 0; y < r.height; ++y)
      for (unsigned x = 0; x < r.width; ++x) {
        const int a = r.At(x, y)[3];
        if (a == 255) {
          ++opaque;
          lumaSum += Luma(r.At(x, y));
        } else if (a > 0) {
          ++partial;
        }
      }
    ASSERT_GT(opaque, 0);
    EXPECT_GT(partial, opaque / 20) << "letter edges should be anti-aliased";
    const unsigned char pageColour[3] = {0x0e, 0x2b, 0x4d};
    EXPECT_GT(lumaSum / opaque, Luma(pageColour) + 120.0) << "logo must stand out on the page";
  }
}

// ---------------------------------------------------------------------------
// Icon

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

TEST(EmbeddedPicturesTest, IconIsOne32BitBitmapWithMatchingMask) {
  const Blob b = zem::assets::Icon();
  ASSERT_NE(b.data, nullptr);
  ASSERT_GE(b.size, 6u + 16u);
  const unsigned char* d = b.data;
  EXPECT_EQ(Le16(d + 0), 0) << "reserved";
  EXPECT_EQ(Le16(d + 2), 1) << "type must be icon";
  ASSERT_EQ(Le16(d + 4), 1) << "exactly one image";

  const unsigned char* e = d + 6;
  EXPECT_EQ(e[0], 16);
  EXPECT_EQ(e[1], 16);
  EXPECT_EQ(e[2], 0) << "no palette";
  EXPECT_EQ(Le16(e + 6), 32) << "bits per pixel";
  const std::uint32_t bytes = Le32(e + 8), offset = Le32(e + 12);
  ASSERT_GE(offset, 22u);
  ASSERT_LE(std::uint64_t{offset} + bytes, b.size) << "image data runs past the file";

  const unsigned char* bmp = d + offset;
  ASSERT_GE(bytes, 40u);
  ASSERT_EQ(Le32(bmp + 0), 40u) << "BITMAPINFOHEADER expected (not an embedded PNG)";
  EXPECT_EQ(static_cast<std::int32_t>(Le32(bmp + 4)), 16);
  EXPECT_EQ(static_cast<std::int32_t>(Le32(bmp + 8)), 32) << "height counts colour and mask";
  EXPECT_EQ(Le16(bmp + 12), 1) << "planes";
  EXPECT_EQ(Le16(bmp + 14), 32);
  EXPECT_EQ(Le32(bmp + 16), 0u) << "uncompressed";

  constexpr unsigned kSide = 16, kMaskRow = 4;  // 16 bits padded to 32
  ASSERT_GE(bytes, 40u + kSide * kSide * 4 + kSide * kMaskRow);
  const unsigned char* colour = bmp + 40;
  const unsigned char* mask = colour + kSide * kSide * 4;
  int transparent = 0, opaque = 0;
  for (unsigned row = 0; row < kSide; ++row)
    for (unsigned x = 0; x < kSide; ++x) {
      const unsigned alpha = colour[(row * kSide + x) * 4 + 3];
      const bool masked = (mask[row * kMaskRow + x / 8] >> (7 - x % 8)) & 1u;
      EXPECT_EQ(masked, alpha == 0) << "mask disagrees with alpha at stored row " << row
                                    << ", column " << x;
      transparent += alpha == 0;
      opaque += alpha == 255;
    }
  EXPECT_GT(transparent, 0) << "icon should have a transparent surround";
  EXPECT_GT(opaque, static_cast<int>(kSide * kSide) / 3) << "icon should have a solid shape";
}

}  // namespace
