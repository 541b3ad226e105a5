#pragma once
// Reads the mesh formats people have (OBJ with MTL, glTF and GLB, STL, PLY,
// 3DS, COLLADA, FBX) through assimp into an empty document: every mesh
// becomes a mesh object with its material, line primitives become polyline
// curves, and the document gets the default views (Perspective in the
// Rendered mode, so the model's own materials and textures show). Y-up
// formats (OBJ, glTF, COLLADA, FBX) are turned so that their up is the
// host's z axis. Faces that point outside the vertex list and coordinates
// that are not finite are errors; missing normals are computed and noted.
#include "importers/ModelReport.h"

#include <string>

class CRhinoDoc;

namespace zem {

// The post-processing assimp is asked for; the benchmark uses the same.
unsigned int MeshFileImportFlags();

// OBJ files go to the faster OBJ reader first (see ObjFileReader.h).
bool ReadMeshFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);

// Every format through assimp, OBJ included.
bool ReadMeshFileWithAssimp(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);

}  // namespace zem
