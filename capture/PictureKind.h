#pragma once
// What kind of picture a texture file holds, told by the ending of its name
// in any case (".png", ".PNG" and ".Png" alike); a ".hdr" elsewhere in the
// path does not count.
#include <string_view>

namespace zem {

enum class PictureKind {
  Rgbe,   // Radiance RGBE: .hdr, .rgbe
  Png,    // keeps its alpha
  Other,  // JPEG and whatever else the host's bitmap reads, without alpha
};

PictureKind PictureKindOf(std::wstring_view fileName);

}  // namespace zem
