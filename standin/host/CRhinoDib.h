#pragma once
// The host's bitmap with file reading and writing. ReadFromFile reads PNG
// and JPEG (through libpng and libjpeg) and BMP, TGA, GIF, PSD and PNM
// (through stb_image); pictures with alpha become 32-bit bitmaps, others
// 24-bit. WriteToFile writes JPEG for names ending in .jpg or .jpeg and PNG
// for names ending in .png (any case); other names fail.
#include "standin/host/CRhinoUiDib.h"

class CRhinoDib : public CRhinoUiDib {
 public:
  using CRhinoUiDib::CRhinoUiDib;

  // On failure the bitmap is left as it was.
  bool ReadFromFile(const wchar_t* fileName);
  bool WriteToFile(const wchar_t* fileName, int jpegQuality = 90) const;
};
