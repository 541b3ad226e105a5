// libFuzzer target: the OBJ reader over arbitrary text, with arbitrary
// material-library text beside it (the input's part after the first NUL
// byte). A declined file must leave the document empty; a read one may
// hold only meshes whose faces stay inside their vertices, with a normal
// per vertex and materials that are in the table.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "importers/ObjFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("zem-obj-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view obj = input.substr(0, split);
  const std::string_view mtl = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
  std::ofstream(folder / "fuzz.mtl", std::ios::binary | std::ios::trunc)
      .write(mtl.data(), static_cast<std::streamsize>(mtl.size()));
  const std::string text = "mtllib fuzz.mtl\n" + std::string(obj);

  CRhinoDoc doc;
  zem::ModelReport report;
  if (zem::ReadObjText(text, folder / "fuzz.obj", doc, report) == zem::ObjReadResult::Declined) {
    if (doc.ObjectSlotCount() != 0 || doc.m_material_table.MaterialCount() != 0 || !report.notes.empty())
      __builtin_trap();
    return 0;
  }
  CRhinoObjectIterator it(doc, 7, 3);
  for (const CRhinoObject* object = it.First(); object; object = it.Next()) {
    const int materialIndex = object->Attributes().m_material_index;
    if (materialIndex < 0 || materialIndex >= doc.m_material_table.MaterialCount()) __builtin_trap();
    ON_SimpleArray<const ON_Mesh*> meshes;
    object->GetMeshes(ON::render_mesh, meshes);
    for (const ON_Mesh* mesh : meshes) {
      if (!mesh || !mesh->IsValid() || !mesh->HasVertexNormals()) __builtin_trap();
    }
  }
  return 0;
}
