#pragma once
// The page's shaded geometry: initVB's mesh buffers, one or more per render
// mesh of every visible mesh and brep object, each tagged with the object's
// exported material number. This is the host side (which objects and
// meshes, their materials, repairing broken meshes); page/MeshData writes
// the buffers' text from the mesh's arrays.
#include "page/MeshData.h"
#include "standin/host/ON_Mesh.h"

class ZEM_Rhino_WebGLExport;

namespace zem {

// Writes the whole initVB function: its head, the meshes (CollectMeshes)
// and the box line.
void WriteInitVB(ZEM_Rhino_WebGLExport& writer);

// Writes the mesh buffers of every visible mesh and brep object, then the
// material records. Nothing when the display does not shade.
void CollectMeshes(ZEM_Rhino_WebGLExport& writer);

// Makes a mesh safe to write: faces with an index out of range or a corner
// that is not a finite point are dropped; normals are computed when there
// is not one per vertex; non-finite normals and texture coordinates are
// written as (0, 0, 1) and (0, 0). Answers the number of faces dropped.
int RepairMeshForPage(ON_Mesh& mesh);
// True when RepairMeshForPage would change the mesh.
bool MeshNeedsRepair(const ON_Mesh& mesh);

// Writes one mesh as buffers of at most kMeshChunkLimit (+1) triangles.
// Texture coordinates are used when texCoordCount > 0 and the mesh has
// them; buffers of a material the viewer draws textured are always written
// with texture coordinates (zero when the mesh has none). The mesh must be
// sound (see RepairMeshForPage). False when no page is open.
// In a compact page the mesh is stored once, indexed, and the page builds
// the same buffers from it (page/MeshData.h).
bool WriteMeshBuffers(ZEM_Rhino_WebGLExport& writer, const ON_Mesh& mesh, int materialNumber, int texCoordCount);

}  // namespace zem
