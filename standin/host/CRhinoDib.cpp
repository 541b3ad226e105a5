#include "standin/host/CRhinoDib.h"

#include "standin/host/StbImage.h"
#include "standin/platform/NativePath.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool EndsWith(const std::string& s, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// Copies top-down rows of `channels` bytes a pixel into the bitmap.
bool FillFromTopDown(CRhinoUiDib& dib, const unsigned char* pixels, int width, int height, int channels) {
  if (!dib.CreateDib(width, height, channels == 4 ? 32 : 24)) return false;
  const std::size_t row = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  for (int y = 0; y < height; ++y) {
    std::memcpy(dib.Bits() + static_cast<std::size_t>(height - 1 - y) * row, pixels + static_cast<std::size_t>(y) * row,
                row);
  }
  return true;
}

// Rows of the bitmap from the top.
std::vector<unsigned char> TopDown(const CRhinoUiDib& dib, int channels) {
  const int width = dib.Width(), height = dib.Height(), have = dib.BitsPerPixel() / 8;
  std::vector<unsigned char> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                                 static_cast<std::size_t>(channels));
  for (int y = 0; y < height; ++y) {
    const unsigned char* src = dib.Bits() + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) *
                                                static_cast<std::size_t>(have);
    unsigned char* dst =
        out.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) dst[x * channels + c] = c < have ? src[x * have + c] : 255;
    }
  }
  return out;
}

bool IsPng(const std::vector<unsigned char>& data) {
  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return data.size() >= 8 && std::memcmp(data.data(), signature, 8) == 0;
}

bool IsJpeg(const std::vector<unsigned char>& data) {
  return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool ReadPng(const std::vector<unsigned char>& data, CRhinoUiDib& dib) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return false;
  if (image.width < 1 || image.height < 1 || image.width > CRhinoUiDib::kMaxSide ||
      image.height > CRhinoUiDib::kMaxSide) {
    png_image_free(&image);
    return false;
  }
  const int channels = (image.format & PNG_FORMAT_FLAG_ALPHA) ? 4 : 3;
  image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  return FillFromTopDown(dib, pixels.data(), static_cast<int>(image.width), static_cast<int>(image.height), channels);
}

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void JpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void JpegQuiet(j_common_ptr, int) {}
void JpegNoMessage(j_common_ptr) {}

bool ReadJpeg(const std::vector<unsigned char>& data, CRhinoUiDib& dib) {
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegFail;
  error.manager.emit_message = JpegQuiet;
  error.manager.output_message = JpegNoMessage;
  std::vector<unsigned char> pixels;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const int width = static_cast<int>(info.output_width), height = static_cast<int>(info.output_height);
  if (width < 1 || height < 1 || width > CRhinoUiDib::kMaxSide || height > CRhinoUiDib::kMaxSide ||
      info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels.data() + static_cast<std::size_t>(info.output_scanline) * static_cast<std::size_t>(width) * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return FillFromTopDown(dib, pixels.data(), width, height, 3);
}

bool WriteJpeg(const CRhinoUiDib& dib, std::FILE* file, int quality) {
  std::vector<unsigned char> pixels = TopDown(dib, 3);
  jpeg_compress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegFail;
  error.manager.output_message = JpegNoMessage;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(dib.Width());
  info.image_height = static_cast<JDIMENSION>(dib.Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row =
        pixels.data() + static_cast<std::size_t>(info.next_scanline) * static_cast<std::size_t>(dib.Width()) * 3;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

bool WritePng(const CRhinoUiDib& dib, std::FILE* file) {
  const int channels = dib.BitsPerPixel() == 32 ? 4 : 3;
  std::vector<unsigned char> pixels = TopDown(dib, channels);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(dib.Width());
  image.height = static_cast<png_uint_32>(dib.Height());
  image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  const bool ok = png_image_write_to_stdio(&image, file, 0, pixels.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace

bool CRhinoDib::ReadFromFile(const wchar_t* fileName) {
  if (!fileName) return false;
  std::ifstream in(zem::NativePath(fileName), std::ios::binary);
  if (!in) return false;
  std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.empty() || data.size() > 0x7FFFFFFF) return false;
  CRhinoUiDib read;
  bool ok = false;
  if (IsPng(data)) {
    ok = ReadPng(data, read);
  } else if (IsJpeg(data)) {
    ok = ReadJpeg(data, read);
  } else {
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = zem::StbDecode(data.data(), static_cast<int>(data.size()), width, height, channels);
    if (pixels) {
      ok = width <= kMaxSide && height <= kMaxSide && FillFromTopDown(read, pixels, width, height, channels);
      zem::StbFree(pixels);
    }
  }
  if (!ok) return false;
  static_cast<CRhinoUiDib&>(*this) = std::move(read);
  return true;
}

bool CRhinoDib::WriteToFile(const wchar_t* fileName, int jpegQuality) const {
  if (!fileName || !BitmapInfoHeader()) return false;
  const std::string native = zem::NativePath(fileName);
  const std::string lower = Lower(native);
  const bool jpeg = EndsWith(lower, ".jpg") || EndsWith(lower, ".jpeg");
  const bool png = EndsWith(lower, ".png");
  if (!jpeg && !png) return false;
  File file(std::fopen(native.c_str(), "wb"));
  if (!file) return false;
  const bool written = jpeg ? WriteJpeg(*this, file.get(), jpegQuality) : WritePng(*this, file.get());
  const bool closed = std::fclose(file.release()) == 0;
  if (!written || !closed) {
    std::remove(native.c_str());
    return false;
  }
  return true;
}
