#include "standin/host/CRhinoUiDib.h"

CRhinoUiDib::CRhinoUiDib(int width, int height, int bitsPerPixel, bool clearToWhite, const RGBQUAD*) {
  CreateDib(width, height, bitsPerPixel, clearToWhite);
}

bool CRhinoUiDib::CreateDib(int width, int height, int bitsPerPixel, bool clearToWhite) {
  DestroyDib();
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  const std::size_t channels = static_cast<std::size_t>(bitsPerPixel / 8);
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * channels;
  m_pixels.assign(size, clearToWhite ? 255 : 0);
  if (channels == 4) {
    for (std::size_t i = 3; i < size; i += 4) m_pixels[i] = 255;
  }
  m_header = BITMAPINFOHEADER{};
  m_header.biWidth = width;
  m_header.biHeight = height;
  m_header.biBitCount = static_cast<WORD>(bitsPerPixel);
  m_header.biSizeImage = static_cast<DWORD>(size);
  return true;
}

void CRhinoUiDib::DestroyDib() {
  m_pixels.clear();
  m_pixels.shrink_to_fit();
  m_header = BITMAPINFOHEADER{};
}

bool CRhinoUiDib::SetPixel(int x, int y, int red, int green, int blue, int alpha) {
  if (m_pixels.empty() || x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
  const std::size_t channels = static_cast<std::size_t>(BitsPerPixel() / 8);
  BYTE* p = &m_pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) + static_cast<std::size_t>(x)) *
                      channels];
  p[0] = static_cast<BYTE>(red);
  p[1] = static_cast<BYTE>(green);
  p[2] = static_cast<BYTE>(blue);
  if (channels == 4) p[3] = static_cast<BYTE>(alpha < 0 ? 255 : alpha);
  return true;
}

bool CRhinoUiDib::GetPixel(int x, int y, int& red, int& green, int& blue) const {
  int alpha = 0;
  return GetPixel(x, y, red, green, blue, alpha);
}

bool CRhinoUiDib::GetPixel(int x, int y, int& red, int& green, int& blue, int& alpha) const {
  if (m_pixels.empty() || x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
  const std::size_t channels = static_cast<std::size_t>(BitsPerPixel() / 8);
  const BYTE* p =
      &m_pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) + static_cast<std::size_t>(x)) *
                channels];
  red = p[0];
  green = p[1];
  blue = p[2];
  alpha = channels == 4 ? p[3] : 255;
  return true;
}
