#pragma once
// A device-independent bitmap of 24 or 32 bits per pixel. Pixels are
// addressed with x from the left and y = 0 the bottom row, as in a Windows
// device-independent bitmap.
#include "standin/platform/WinTypes.h"

#include <vector>

class CRhinoUiDib {
 public:
  CRhinoUiDib() = default;
  // A bitmap of the given size and depth (24 or 32), black (or white) and,
  // at 32 bits, opaque. The palette is not used at these depths.
  CRhinoUiDib(int width, int height, int bitsPerPixel, bool clearToWhite = false, const RGBQUAD* palette = nullptr);
  virtual ~CRhinoUiDib() = default;

  bool CreateDib(int width, int height, int bitsPerPixel, bool clearToWhite = false);
  void DestroyDib();

  int Width() const { return m_header.biWidth; }
  int Height() const { return m_header.biHeight; }
  int BitsPerPixel() const { return m_header.biBitCount; }
  // Null for an empty bitmap.
  const BITMAPINFOHEADER* BitmapInfoHeader() const { return m_pixels.empty() ? nullptr : &m_header; }

  // Channels 0..255; alpha -1 (or a 24-bit bitmap) means opaque.
  bool SetPixel(int x, int y, int red, int green, int blue, int alpha = -1);
  bool GetPixel(int x, int y, int& red, int& green, int& blue) const;
  // Alpha is 255 in a 24-bit bitmap.
  bool GetPixel(int x, int y, int& red, int& green, int& blue, int& alpha) const;

  // Rows bottom-up, BitsPerPixel() / 8 bytes a pixel in the order red,
  // green, blue (and alpha), no padding.
  BYTE* Bits() { return m_pixels.empty() ? nullptr : m_pixels.data(); }
  const BYTE* Bits() const { return m_pixels.empty() ? nullptr : m_pixels.data(); }

  // The largest side a bitmap may have.
  static constexpr int kMaxSide = 32768;

 private:
  BITMAPINFOHEADER m_header{};
  std::vector<BYTE> m_pixels;
};
