#pragma once
// The fixed pictures every page carries, linked into the program at build
// time from the files under assets/.
#include <cstddef>

namespace zem::assets {

struct Blob {
  const unsigned char* data;
  std::size_t size;
};

Blob Icon();           // 16 x 16, 32-bit ICO
Blob CubeFace(int k);  // k = 1..6: 64 x 64 baseline JPEG faces +X, -X, +Y, -Y, +Z, -Z
Blob Backdrop();       // 8 x 800 PNG, stretched over the window
Blob Band();           // 8 x 910 PNG, repeated across the window
Blob PageCorner();     // 128 x 128 PNG with alpha, the turned-up page corner
Blob PageEdge();       // 2 x 2 JPEG
Blob Fold();           // 51 x 70 PNG with alpha
Blob Logo();           // 150 x 33 PNG with alpha

}  // namespace zem::assets
