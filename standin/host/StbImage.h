#pragma once
// Decoding of the less common picture formats (BMP, TGA, GIF, PSD, PNM).

namespace zem {

// Rows from the top, `channels` (3 or 4) bytes a pixel; null when the data
// is no picture of these formats. Free with StbFree.
unsigned char* StbDecode(const unsigned char* data, int size, int& width, int& height, int& channels);
void StbFree(unsigned char* pixels);

}  // namespace zem
