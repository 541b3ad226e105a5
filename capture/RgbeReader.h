#pragma once
// Reader of Radiance RGBE (".hdr") images: the header, run-length encoded
// and flat pixel data, and the conversion of one RGBE pixel to floats.
// The readers print nothing: they answer Ok or why they stopped.
#include <cstdio>

namespace zem {

enum class RgbeResult {
  Ok,
  ReadFailed,          // the file ended early or could not be read
  MissingImageSize,    // no "-Y <height> +X <width>" line after the header
  WrongScanlineWidth,  // a run-length scanline declares another width
  BadScanlineData,     // a run or literal overruns its scanline, or is empty
};

// Reads the header up to and including the size line "-Y <height> +X
// <width>"; other orientations are rejected.
RgbeResult ReadRgbeHeader(std::FILE* file, int* width, int* height);

// Reads width x scanlines pixels as floats (red, green, blue per pixel, rows
// in file order) into data, which holds width x scanlines x 3 floats.
// Scanlines are run-length encoded or flat, as the file has them.
RgbeResult ReadRgbePixelsRle(std::FILE* file, float* data, int width, int scanlines);

// Reads pixelCount flat RGBE pixels into data (pixelCount x 3 floats).
RgbeResult ReadRgbePixelsFlat(std::FILE* file, float* data, int pixelCount);

// Converts one pixel: exponent 0 is black, otherwise each mantissa byte
// times 2^(exponent - 136).
void RgbeToFloat(const unsigned char rgbe[4], float* red, float* green, float* blue);

}  // namespace zem
