#pragma once
// The stored form of one mesh in a compact page: the vertices the faces use,
// each once, and the triangles as indices, packed into one little-endian
// byte block that the page's decoder (page/viewer/zemMesh.js) turns back
// into the interleaved buffers of the standard page.
//
// Block layout, every section padded to a multiple of 4 bytes:
//   positions  quantised: 3 x uint16 per vertex, value = min + q * step per
//              axis; otherwise 3 x float32
//   normals    octahedral: 2 x int8 (or, when 8 bits miss the bound, 2 x
//              int16) per vertex, a unit direction; otherwise 3 x float32
//   texture    2 x float32 per vertex, only when the mesh stores them
//   per buffer 3 indices per triangle: uint16 added to the buffer's base,
//              or uint32 vertex numbers when the buffer's vertices lie
//              more than 65,535 apart
#include <cstdint>
#include <vector>

#include "standin/host/ON_Mesh.h"

namespace zem {

// Quantised values stay this close to the original: a position within
// 1/65535 of the mesh's extent on its axis, a normal within half a degree.
// A mesh for which quantisation would miss either bound keeps float32 for
// that part.
inline constexpr double kPositionTolerance = 1.0 / 65535.0;
inline constexpr double kNormalToleranceDegrees = 0.5;

struct CompactMesh {
  struct Buffer {
    int triangles = 0;
    int base = 0;       // added to every 16-bit index
    bool wide = false;  // 32-bit indices
  };
  int vertexCount = 0;
  bool quantisedPositions = false;
  double positionMin[3] = {0, 0, 0};
  double positionStep[3] = {0, 0, 0};
  int octNormalBits = 0;  // 8 or 16; 0: float32 normals
  bool texCoords = false;
  std::vector<Buffer> buffers;  // the standard page's split, buffer by buffer
  std::vector<std::uint8_t> bytes;
  std::vector<int> vertices;  // mesh vertex of each stored vertex
};

// Encodes a sound mesh (see RepairMeshForPage). texCoords: store the mesh's
// texture coordinates (the decoder writes zeros for a textured buffer
// without them). Buffers split at chunkLimit triangles as the standard page
// splits them.
CompactMesh EncodeCompactMesh(const ON_Mesh& mesh, bool texCoords, int chunkLimit);

}  // namespace zem
