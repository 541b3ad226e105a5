#include "capture/TextureImageCache.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>

#include "capture/PictureKind.h"
#include "capture/ResampleTo256.h"
#include "capture/RgbeReader.h"
#include "standin/host/CRhinoFileUtilities.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/RegularFile.h"

namespace zem {

namespace {

bool IsRgbeName(const std::wstring& name) { return PictureKindOf(name) == PictureKind::Rgbe; }

// A pixel buffer, its size computed in 64 bits; null when it cannot be had.
PixelBuffer Allocate(long long width, long long height, int channels) {
  if (width <= 0 || height <= 0) return nullptr;
  const long long bytes = width * height * channels;
  return PixelBuffer(new (std::nothrow) unsigned char[static_cast<std::size_t>(bytes)]);
}

// The stamp of a file, or nothing when it cannot be looked at.
std::optional<FileStamp> StampOf(const std::wstring& path) {
  std::error_code ec;
  const std::filesystem::path native = NativePath(path);
  const std::filesystem::path absolute = std::filesystem::absolute(native, ec);
  if (ec) return std::nullopt;
  const auto size = std::filesystem::file_size(absolute, ec);
  if (ec) return std::nullopt;
  const auto modified = std::filesystem::last_write_time(absolute, ec);
  if (ec) return std::nullopt;
  return FileStamp{FromSystemBytes(absolute.lexically_normal().string()), size,
                   static_cast<long long>(modified.time_since_epoch().count())};
}

// Whether the rest of the file can hold the pixel data of a width x height
// image at all: a run-length encoded scanline takes at least its 4-byte
// head and one 2-byte run per 127 bytes of each of its four planes, a flat
// pixel 4 bytes. Keeps a forged header from making us allocate for pixels
// that are not there.
bool FileCanHold(std::FILE* file, long long width, long long height) {
  long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return false;
  long end = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  long long left = static_cast<long long>(end) - here;
  long long perScanline = (width >= 8 && width <= 0x7fff) ? 4 + 4 * 2 * ((width + 126) / 127) : 4 * width;
  return left >= perScanline * height;
}

// Reads the RGBE pixels of fullPath into the cache unless the cache already
// holds that file. False (and an empty cache) on any failure.
bool LoadRgbeFloats(TextureImageCache::Held& cache, const std::wstring& fileName, const std::wstring& fullPath,
                    int& width, int& height) {
  const std::optional<FileStamp> stamp = StampOf(fullPath);
  if (!stamp) return false;
  // Flat pixels of the largest image read, with room for its header.
  constexpr std::uintmax_t kMaxRgbeBytes = 4 * kMaxRgbePixels + (1u << 20);
  std::string why;
  std::FILE* file = OpenRegularFile(NativePath(fullPath), kMaxRgbeBytes, why);
  if (!file) return false;
  bool ok = ReadRgbeHeader(file, &width, &height) == RgbeResult::Ok && width >= 1 && width <= 65535 && height >= 1 &&
            height <= 65535;
  // The floats held serve only the same, unchanged file of the same size.
  const bool sameFile = fileName == cache.m_hdrName && *stamp == cache.m_hdrStamp && width == cache.m_hdrWidth &&
                        height == cache.m_hdrHeight && cache.m_hdrPixels != nullptr;
  if (ok && !sameFile) {
    cache.m_hdrPixels.reset();
    cache.m_hdrName.clear();
    cache.m_hdrStamp = FileStamp();
    cache.m_hdrWidth = cache.m_hdrHeight = 0;
    const long long pixels = static_cast<long long>(width) * height;
    ok = pixels <= kMaxRgbePixels && FileCanHold(file, width, height);
    if (ok) {
      auto floats = std::unique_ptr<std::vector<float>>(new (std::nothrow) std::vector<float>());
      try {
        if (floats) floats->resize(static_cast<std::size_t>(pixels) * 3);
      } catch (const std::bad_alloc&) {
        floats.reset();
      }
      // A truncated or corrupt pixel stream fails the load: the floats it
      // did not reach hold nothing worth showing.
      ok = floats && ReadRgbePixelsRle(file, floats->data(), width, height) == RgbeResult::Ok;
      if (ok) {
        cache.m_hdrPixels = std::move(floats);
        cache.m_hdrName = fileName;
        cache.m_hdrStamp = *stamp;
        cache.m_hdrWidth = width;
        cache.m_hdrHeight = height;
      }
    }
  }
  std::fclose(file);
  return ok;
}

PixelBuffer LoadRgbe(TextureImageCache::Held& cache, const std::wstring& fileName, int& width, int& height,
                     int channels) {
  ON_wString fullPath;
  if (!CRhinoFileUtilities::FindFile(fileName.c_str(), fullPath)) return nullptr;
  if (!LoadRgbeFloats(cache, fileName, fullPath, width, height)) return nullptr;
  PixelBuffer pixels = Allocate(width, height, channels);
  if (!pixels) return nullptr;
  const float* in = cache.m_hdrPixels->data();
  constexpr float kGamma = 0.5555555820465088f;  // 1 / 1.8 in single precision
  for (int s = 0; s < height; ++s) {
    // The file's first scanline is the top row: the bitmap's last.
    unsigned char* row = pixels.get() + static_cast<std::size_t>(height - 1 - s) * width * channels;
    for (int x = 0; x < width; ++x, in += 3) {
      for (int k = 0; k < 3; ++k) {
        float v = std::pow(in[k], kGamma);
        v = v * 255.0f;
        if (!(v >= 0.0f)) v = 0.0f;
        if (v > 255.0f) v = 255.0f;
        row[x * channels + k] = static_cast<unsigned char>(v);
      }
      if (channels == 4) row[x * channels + 3] = 255;
    }
  }
  return pixels;
}

PixelBuffer LoadBitmap(TextureImageCache::Held& cache, const std::wstring& fileName, int& width, int& height,
                       int channels) {
  // The bitmap held serves only the same, unchanged file.
  const std::optional<FileStamp> stamp = StampOf(fileName);
  if (fileName != cache.m_bitmapName || !stamp || *stamp != cache.m_bitmapStamp) {
    if (!cache.m_bitmap.ReadFromFile(fileName.c_str())) return nullptr;
    cache.m_bitmapName = fileName;
    cache.m_bitmapStamp = stamp.value_or(FileStamp());
  }
  width = cache.m_bitmap.Width();
  height = cache.m_bitmap.Height();
  if (width <= 0 || IsBadImageSize(width, height)) return nullptr;
  if (static_cast<long long>(width) * height > kMaxBitmapPixels) return nullptr;
  PixelBuffer pixels = Allocate(width, height, channels);
  if (!pixels) return nullptr;
  const BITMAPINFOHEADER* header = cache.m_bitmap.BitmapInfoHeader();
  const bool hasAlpha = header && header->biBitCount >= 32;
  unsigned char* out = pixels.get();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x, out += channels) {
      int r = 0, g = 0, b = 0, a = 255;
      if (channels == 4) {
        cache.m_bitmap.GetPixel(x, y, r, g, b, a);
        if (!hasAlpha) {
          a = 255;
        } else if (a == 0) {
          // Fully transparent pixels turn white and stay transparent.
          r = g = b = 255;
        }
        out[3] = static_cast<unsigned char>(a);
      } else {
        cache.m_bitmap.GetPixel(x, y, r, g, b);
      }
      out[0] = static_cast<unsigned char>(r);
      out[1] = static_cast<unsigned char>(g);
      out[2] = static_cast<unsigned char>(b);
    }
  }
  return pixels;
}

}  // namespace

PixelBuffer LoadImageRGB(TextureImageCache& cache, const std::wstring& fileName, int& width, int& height) {
  return IsRgbeName(fileName) ? LoadRgbe(cache.m_held, fileName, width, height, 3)
                              : LoadBitmap(cache.m_held, fileName, width, height, 3);
}

PixelBuffer LoadImageRGBA(TextureImageCache& cache, const std::wstring& fileName, int& width, int& height) {
  return IsRgbeName(fileName) ? LoadRgbe(cache.m_held, fileName, width, height, 4)
                              : LoadBitmap(cache.m_held, fileName, width, height, 4);
}

}  // namespace zem
