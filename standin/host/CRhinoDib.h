#pragma once
// The host's bitmap with file reading and writing. ReadFromFile reads PNG
// and JPEG (through libpng and libjpeg) and BMP, TGA, GIF, PSD and PNM
// (through stb_image); pictures with alpha become 32-bit bitmaps, others
// 24-bit. WriteToFile writes JPEG for names ending in .jpg or .jpeg and PNG
// for names ending in .png (any case); other names fail.
#include "standin/host/CRhinoUiDib.h"

#include <string>

class CRhinoDib : public CRhinoUiDib {
 public:
  using CRhinoUiDib::CRhinoUiDib;

  // On failure the bitmap is left as it was. Only regular files of at most
  // kMaxReadBytes are read, and only pictures of at most kMaxReadPixels
  // (their size is read from the header before anything is decoded).
  bool ReadFromFile(const wchar_t* fileName);
  bool WriteToFile(const wchar_t* fileName, int jpegQuality = 90) const;

  static constexpr unsigned long long kMaxReadBytes = 256ull << 20;
  static constexpr long long kMaxReadPixels = 8192LL * 8192LL;
};

namespace zem {

// The bitmap encoded as a PNG (`png`) or JPEG file's bytes, as WriteToFile
// writes them, without a file. False (and no bytes) when it cannot be.
bool EncodeDib(const CRhinoDib& dib, bool png, std::string& bytes, int jpegQuality = 90);
// Why ReadFromFile fails for the file, in words ("not a regular file", "a
// broken PNG picture", ...); empty when it reads.
std::string PictureReadProblem(const wchar_t* fileName);

}  // namespace zem
