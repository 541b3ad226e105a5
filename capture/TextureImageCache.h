#pragma once
// Reading the image files that materials name as bitmap textures into plain
// pixel buffers: ordinary bitmaps through the host bitmap, Radiance RGBE
// (".hdr", ".rgbe") files through our own reader with a fixed tone mapping.
// The last bitmap and the last RGBE image read are kept, so materials in a
// row that use the same unchanged file read it once. An entry is kept only
// when its read succeeded completely, and is used only for the same file
// (path, size, time of change) and the same image size.
#include <memory>
#include <string>
#include <vector>

#include "standin/host/CRhinoDib.h"

namespace zem {

// What identifies the contents of a file: its full path, size and time of
// last change. An edited file is a different file.
struct FileStamp {
  std::wstring path;
  unsigned long long size = 0;
  long long modified = 0;
  bool operator==(const FileStamp&) const = default;
};

// A pixel buffer: width x height pixels of 3 (RGB) or 4 (RGBA) bytes, rows
// one after another. Row r is the bitmap's row y = r (bottom row first).
using PixelBuffer = std::unique_ptr<unsigned char[]>;

// The last bitmap and RGBE image read (one cache lives in the export
// session, ExportSession.h). Only the loaders below change what it holds.
class TextureImageCache {
 public:
  // What is held: the last RGBE image's floats and the last bitmap, each
  // with the file it was read from.
  struct Held {
    std::wstring m_hdrName;                           // file name of the RGBE image held
    std::unique_ptr<std::vector<float>> m_hdrPixels;  // its floats (r, g, b), rows in file order
    FileStamp m_hdrStamp;                             // the file they were read from
    int m_hdrWidth = 0, m_hdrHeight = 0;              // and its size in pixels
    CRhinoDib m_bitmap;                               // the last ordinary bitmap read
    std::wstring m_bitmapName;                        // its file name
    FileStamp m_bitmapStamp;                          // the file it was read from
  };

  bool HoldsRgbeImage() const { return m_held.m_hdrPixels != nullptr; }
  const std::wstring& HeldBitmapName() const { return m_held.m_bitmapName; }

 private:
  friend std::unique_ptr<unsigned char[]> LoadImageRGB(TextureImageCache&, const std::wstring&, int&, int&);
  friend std::unique_ptr<unsigned char[]> LoadImageRGBA(TextureImageCache&, const std::wstring&, int&, int&);
  Held m_held;
};

// Reads fileName with 3 bytes a pixel. Null when the file cannot be read,
// is too large, or is broken; width and height are set when known.
PixelBuffer LoadImageRGB(TextureImageCache& cache, const std::wstring& fileName, int& width, int& height);
// The same with 4 bytes a pixel. Fully transparent bitmap pixels become
// white (and stay transparent); RGBE images and bitmaps without alpha are
// opaque.
PixelBuffer LoadImageRGBA(TextureImageCache& cache, const std::wstring& fileName, int& width, int& height);

// The largest RGBE image read, in pixels (8192 x 4096): its floats take
// 384 MiB. Larger headers are refused before anything is allocated.
inline constexpr long long kMaxRgbePixels = 8192LL * 4096LL;
// The largest bitmap turned into a pixel buffer (8192 x 8192, 256 MiB as
// RGBA); every texture ends as 256 x 256 pixels anyway.
inline constexpr long long kMaxBitmapPixels = 8192LL * 8192LL;

}  // namespace zem
