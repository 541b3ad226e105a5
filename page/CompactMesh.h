#pragma once
// The stored form of one mesh in a compact page: the vertices the faces use,
// each once, and the triangles as indices, compressed by meshoptimizer's
// vertex and index codecs into one byte block that the page's decoder
// (page/viewer/zemMesh.js, calling meshoptimizer's own decoder) turns back
// into the interleaved buffers of the standard page.
//
// The block is four sections one after another, each as its codec wrote it:
//   positions  vertex codec; 8-byte vertices: 3 x uint16 quantised on the
//              mesh's box (value = min + q * step per axis) and a zero
//              uint16; or 12-byte vertices: 3 x float32
//   normals    vertex codec; 4-byte vertices: octahedral codes of K bits,
//              2 x int8 and two zero bytes (K = 8) or 2 x int16 (K = 9..16);
//              or 12-byte vertices: 3 x float32
//   texture    vertex codec, empty when the mesh has none; 4-byte vertices:
//              2 x uint16 quantised on their box; or 8-byte: 2 x float32
//   indices    index codec; 3 per triangle, the buffers' triangles in order
// The triangles are the standard page's, each in its buffer with its
// winding; within a buffer they are ordered for the GPU's vertex cache and
// may start at another corner (the index codec turns triangles), and the
// vertices are numbered by first use. A CRC-32 of the block lets the page
// tell damaged data from sound data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "page/MeshData.h"

namespace zem {

// Quantised values stay this close to the original: a position within
// 1/65535 of the mesh's extent on its axis, a normal within half a degree,
// a texture coordinate within 1/65535 of the extent of the mesh's texture
// coordinates on its axis and within 1/4096 (a sixteenth of a texel of the
// page's 256-pixel textures). A mesh for which quantisation would miss a
// bound keeps float32 for that part.
inline constexpr double kPositionTolerance = 1.0 / 65535.0;
inline constexpr double kNormalToleranceDegrees = 0.5;
inline constexpr double kTexCoordTolerance = 1.0 / 4096.0;

struct CompactMesh {
  enum class TexCoords { None, Floats, Quantised };
  enum Section { kPositions, kNormals, kTexCoords, kIndices, kSections };
  int vertexCount = 0;
  bool quantisedPositions = false;
  double positionMin[3] = {0, 0, 0};
  double positionStep[3] = {0, 0, 0};
  int normalBits = 0;  // 8 to 16: octahedral codes of that many bits; 0: float32
  TexCoords texCoords = TexCoords::None;
  double texMin[2] = {0, 0};
  double texStep[2] = {0, 0};
  std::vector<int> bufferTriangles;                // the standard page's split, buffer by buffer
  std::size_t sections[kSections] = {0, 0, 0, 0};  // bytes of each section
  std::uint32_t checksum = 0;                      // CRC-32 (as zlib's) of bytes
  std::vector<std::uint8_t> bytes;
  std::vector<int> vertices;  // mesh vertex of each stored vertex
};

// Encodes a sound mesh, with its texture coordinates when it has them (the
// decoder writes zeros for a textured buffer without them). Buffers split
// at chunkLimit triangles as the standard page splits them. The work runs
// on up to `threads` threads; the block is the same for any count.
CompactMesh EncodeCompactMesh(const PageMesh& mesh, int chunkLimit, int threads = 1);

// The value the page's decoder gives for a stored octahedral code of
// `bits` bits: x, y, z of a unit vector, each rounded to float32.
void DecodeOctahedral(int codeX, int codeY, int bits, float out[3]);

}  // namespace zem
