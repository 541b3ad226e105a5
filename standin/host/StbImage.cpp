// The readers of stb_image for the picture formats that libpng and libjpeg
// do not cover; private to the host.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#define STBI_ONLY_PSD
#define STBI_ONLY_PNM
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include "standin/host/StbImage.h"

namespace zem {

unsigned char* StbDecode(const unsigned char* data, int size, int& width, int& height, int& channels) {
  int fileChannels = 0;
  if (!stbi_info_from_memory(data, size, &width, &height, &fileChannels)) return nullptr;
  channels = fileChannels == 2 || fileChannels == 4 ? 4 : 3;
  return stbi_load_from_memory(data, size, &width, &height, &fileChannels, channels);
}

void StbFree(unsigned char* pixels) { stbi_image_free(pixels); }

}  // namespace zem
