#include "importers/ModelReaders.h"

#include "importers/DocumentReader.h"
#include "importers/MeshFileReader.h"
#include "importers/Rhino3dmReader.h"
#include "importers/cad/CadReader.h"
#include "standin/platform/NativePath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace zem {

namespace {

constexpr const char* kDocument[] = {".json"};
constexpr const char* kObj[] = {".obj"};
constexpr const char* k3dm[] = {".3dm"};
constexpr const char* kCad[] = {".step", ".stp", ".iges", ".igs"};

// glTF and GLB, STL, PLY, 3DS, COLLADA, FBX and whatever else assimp knows
// go to the last row: assimp tells the formats apart by their content.
const ModelReader kReaders[] = {
    {"the host's document format", kDocument, ReadDocumentFile},
    {"OBJ with MTL", kObj, ReadMeshFile},
    {"the host's own .3dm files, through node and rhino3dm", k3dm, Read3dmFile},
    {"STEP and IGES through Open CASCADE", kCad, cad::ReadCadModelFile},
    {"mesh formats through assimp", {}, ReadMeshFileWithAssimp},
};

}  // namespace

std::span<const ModelReader> ModelReaders() { return kReaders; }

const ModelReader& ModelReaderFor(const std::wstring& path) {
  std::string ext = std::filesystem::path(NativePath(path)).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const ModelReader& reader : kReaders)
    if (std::find(reader.extensions.begin(), reader.extensions.end(), ext) != reader.extensions.end()) return reader;
  return kReaders[std::size(kReaders) - 1];
}

}  // namespace zem
