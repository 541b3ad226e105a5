#pragma once
// Brings a texture image to 256 x 256 pixels with a box filter: each output
// pixel is the area-weighted average of the source area it covers, for
// reducing and enlarging alike. Channel values are truncated toward zero.

// source: widthIn x heightIn pixels of `channels` bytes (3 or 4), rows
// without padding; destination: 256 x 256 x channels bytes. Never reads
// outside the source, whatever the sizes; an empty source gives black.
// The boxes of the last row and column end exactly at the source's edge.
namespace zem {

void ResampleTo256(int widthIn, int heightIn, const unsigned char* source, unsigned char* destination, int channels);

// True for sizes a texture image may not have: a height below 1, or a side
// of 65536 pixels or more.
inline bool IsBadImageSize(int width, int height) { return height < 1 || width >= 65536 || height >= 65536; }

}  // namespace zem
