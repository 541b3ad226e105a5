// libFuzzer target: the .3dm reader's hand-off (the JSON document with the
// reader's notes, embedded pictures and trimmed faces), then what a page
// export asks of the document it filled. A hand-off that is not read must
// give an error and an empty document.
#include "importers/Rhino3dmReader.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CRhinoDoc doc;
  zem::ModelReport report;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!zem::Read3dmHandoff(text, "/nonexistent/model.3dm", doc, report)) {
    if (report.error.empty() || doc.ObjectSlotCount() != 0) __builtin_trap();
    return 0;
  }
  CRhinoObjectIterator it(doc, 7, 3);
  for (const CRhinoObject* object = it.First(); object; object = it.Next()) {
    if (object->ObjectMaterial().MaterialIndex() >= doc.m_material_table.MaterialCount()) __builtin_trap();
    ON_SimpleArray<const ON_Mesh*> meshes;
    object->GetMeshes(ON::render_mesh, meshes);
    for (const ON_Mesh* mesh : meshes)
      if (!mesh || !mesh->IsValid()) __builtin_trap();
  }
  return 0;
}
