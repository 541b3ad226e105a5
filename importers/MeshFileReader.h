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

#include <cstdint>
#include <filesystem>
#include <string>

class CRhinoDoc;

namespace zem {

// assimp (and the document reader) take a file whole, so its size on disk
// is what they need at least: files above the limit are refused before they
// are read, with a message that names the limit and the command-line option
// that raises it. The mesh formats' own fast readers (OBJ) read in blocks
// and are not limited.
inline constexpr std::uintmax_t kDefaultWholeFileLimit = 512u << 20;
inline constexpr const char* kWholeFileLimitOption = "--max-model-size MB";
void SetWholeFileLimit(std::uintmax_t bytes);
// False, with the error in the report, when the file is above the limit.
bool WithinWholeFileLimit(const std::filesystem::path& file, ModelReport& report);

// The post-processing assimp is asked for; the benchmark uses the same.
unsigned int MeshFileImportFlags();

// OBJ files go to the faster OBJ reader first (see ObjFileReader.h).
bool ReadMeshFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);

// Every format through assimp, OBJ included.
bool ReadMeshFileWithAssimp(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);

}  // namespace zem
