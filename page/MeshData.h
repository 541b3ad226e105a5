#pragma once
// initVB's statements: how a mesh reaches the page, in both forms. The
// standard page writes each buffer as a Float32Array of number literals; the
// compact page writes the decoder zemMesh (page/viewer/zemMesh.js) once and
// one call of it per mesh with the mesh stored indexed (CompactMesh.h).
// page/viewer/viewer.js reads what either form builds. The input is plain
// arrays, so the host's mesh type never reaches the page writer.
//
// The byte weights the export dialog's size estimate takes for meshes are
// kept here, beside the text they describe.
#include <functional>
#include <span>

#include "page/DataFunctions.h"
#include "page/PageFormat.h"

class ZEM_WebGLExport;

namespace zem {

// One sound mesh as plain arrays: every face index names a vertex and every
// position a face uses is finite; one normal per vertex. Normals and texture
// coordinates that are not finite are written as (0, 0, 1) and (0, 0).
struct PageMesh {
  std::span<const float> positions;  // x, y, z per vertex
  std::span<const float> normals;    // x, y, z per vertex
  std::span<const float> texCoords;  // u, v per vertex; empty: none written
  std::span<const int> faces;        // a, b, c, d per face; c == d: the triangle (a, b, c),
                                     // else the triangles (a, b, c) and (a, c, d)
  int VertexCount() const { return static_cast<int>(positions.size() / 3); }
  int FaceCount() const { return static_cast<int>(faces.size() / 4); }
};

// How one mesh's buffers are written.
struct MeshStyle {
  int materialNumber = 0;  // pushed to mi for every buffer of the mesh
  bool textured = false;   // the textured layout (texture coordinates, zeros without them)
  bool compact = false;    // the compact form
  int threads = 1;         // threads that format the numbers; the text is the same for any count
};

// Triangles per buffer before the next one starts (a quadrangle crossing
// the limit makes it one more).
inline constexpr int kMeshChunkLimit = page_format::kTrianglesPerBuffer;

// What the standard page spends, in bytes, per mesh and per weighted
// triangle (a triangle of a textured mesh weighs 4/3): the export dialog's
// estimate of the page size.
inline constexpr double kEstimateBytesPerMesh = 280.0;
inline constexpr double kEstimateBytesPerTriangle = 136.0;

// What the compact page spends on meshes, in bytes: once per page the
// decoders (zemMesh and meshoptimizer's, CompactEstimateBytesPerPage), per
// mesh the decoder call's header and the codecs' fixed parts, per weighted
// triangle the codecs' output in base64, as measured on meshes whose faces
// share their vertices (the 1,000,000-triangle torus writes 4.8; small CAD
// meshes, whose edges split their vertices, 5 to 7). Zipped, the mesh part
// shrinks to about 0.28 of it (the codecs leave their output for a general
// compressor to finish; the torus's page zips to 0.27).
inline constexpr double kCompactEstimateBytesPerMesh = 400.0;
inline constexpr double kCompactEstimateBytesPerTriangle = 4.8;
inline constexpr double kCompactEstimateZipFactor = 0.28;
double CompactEstimateBytesPerPage();

// "function initVB(...){" and a line feed.
bool WriteInitVBHead(ZEM_WebGLExport& page);

// Writes one mesh as buffers of at most kMeshChunkLimit (+1) triangles, each
// pushed with the material number, or in the compact form one decoder call
// that builds the same buffers (the decoder itself written first, once per
// page). Every corner widens the page's box. bufferWritten is told the
// triangles of each buffer once it is written. False when no page is open.
bool WriteMeshData(ZEM_WebGLExport& page, BufferNumbers& numbers, const PageMesh& mesh, const MeshStyle& style,
                   const std::function<void(int triangles)>& bufferWritten);

}  // namespace zem
