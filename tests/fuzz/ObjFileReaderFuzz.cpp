// libFuzzer target: the OBJ reader over arbitrary text, with arbitrary
// material-library text beside it (the input's part after the first NUL
// byte). A declined file must leave the document empty; a read one may
// hold only meshes whose faces stay inside their vertices, with a normal
// per vertex and materials that are in the table. Read in three pieces
// (cut wherever the input puts its lines), the text must give the same
// document as read whole.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "importers/ObjFileReader.h"

namespace {

template <typename T>
bool SameArray(const ON_SimpleArray<T>& a, const ON_SimpleArray<T>& b) {
  return a.Count() == b.Count() &&
         (a.Count() == 0 || std::memcmp(a.Array(), b.Array(), sizeof(T) * static_cast<std::size_t>(a.Count())) == 0);
}

// The same objects, names, materials and mesh arrays, bit for bit.
bool SameDocument(const CRhinoDoc& a, const CRhinoDoc& b) {
  if (a.ObjectSlotCount() != b.ObjectSlotCount() ||
      a.m_material_table.MaterialCount() != b.m_material_table.MaterialCount())
    return false;
  CRhinoObjectIterator i(a, 7, 3), j(b, 7, 3);
  const CRhinoObject* x = i.First();
  const CRhinoObject* y = j.First();
  for (; x && y; x = i.Next(), y = j.Next()) {
    if (x->ObjectType() != y->ObjectType() || x->Attributes().m_material_index != y->Attributes().m_material_index ||
        std::wcscmp(x->Attributes().m_name.Array(), y->Attributes().m_name.Array()) != 0)
      return false;
    ON_SimpleArray<const ON_Mesh*> m, n;
    x->GetMeshes(ON::render_mesh, m);
    y->GetMeshes(ON::render_mesh, n);
    if (m.Count() != n.Count()) return false;
    for (int k = 0; k < m.Count(); ++k) {
      if (!SameArray(m[k]->m_V, n[k]->m_V) || !SameArray(m[k]->m_N, n[k]->m_N) || !SameArray(m[k]->m_T, n[k]->m_T) ||
          !SameArray(m[k]->m_F, n[k]->m_F))
        return false;
    }
  }
  return !x && !y;
}

}  // namespace

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

  CRhinoDoc doc, pieces;
  zem::ModelReport report, piecesReport;
  const zem::ObjReadResult result = zem::ReadObjText(text, folder / "fuzz.obj", doc, report, 1);
  if (zem::ReadObjText(text, folder / "fuzz.obj", pieces, piecesReport, 3) != result || !SameDocument(doc, pieces) ||
      report.notes != piecesReport.notes)
    __builtin_trap();
  if (result == zem::ObjReadResult::Declined) {
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
