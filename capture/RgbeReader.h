#pragma once
// Reader of Radiance RGBE (".hdr") images: the header, run-length encoded
// and flat pixel data, and the conversion of one RGBE pixel to floats.
// The readers answer 0 on success and -1 on failure, and print what went
// wrong to the standard error stream ("RGBE read error: ...", "RGBE bad
// file format: ...", "RGBE error: ...").
#include <cstdio>

// Reads the header up to and including the size line "-Y <height> +X
// <width>"; other orientations are rejected.
int ReadRgbeHeader(std::FILE* file, int* width, int* height);

// Reads width x scanlines pixels as floats (red, green, blue per pixel, rows
// in file order) into data, which holds width x scanlines x 3 floats.
// Scanlines are run-length encoded or flat, as the file has them.
int ReadRgbePixelsRle(std::FILE* file, float* data, int width, int scanlines);

// Reads pixelCount flat RGBE pixels into data (pixelCount x 3 floats).
int ReadRgbePixelsFlat(std::FILE* file, float* data, int pixelCount);

// Converts one pixel: exponent 0 is black, otherwise each mantissa byte
// times 2^(exponent - 136).
void RgbeToFloat(const unsigned char rgbe[4], float* red, float* green, float* blue);
