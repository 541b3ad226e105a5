// libFuzzer target: the host's document-format reader, then everything a
// page export asks of the document it filled (render meshes, wireframe
// curves and their polylines, materials, cameras). A malformed input must
// give an error and an empty document; a read document must hold only
// meshes whose faces stay inside their vertices.
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "importers/DocumentReader.h"
#include "standin/host/RhinoConvertCurveToPolyline.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CRhinoDoc doc;
  zem::ModelReport report;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!zem::ReadDocumentText(text, L"", doc, report)) {
    if (report.error.empty() || doc.ObjectSlotCount() != 0 || doc.ViewCount() != 0) __builtin_trap();
    return 0;
  }
  CRhinoObjectIterator it(doc, 7, 3);
  for (const CRhinoObject* object = it.First(); object; object = it.Next()) {
    object->IsVisible();
    object->ObjectDrawColor(false);
    const int materialIndex = object->ObjectMaterial().MaterialIndex();
    if (materialIndex >= doc.m_material_table.MaterialCount()) __builtin_trap();
    ON_SimpleArray<const ON_Mesh*> meshes;
    object->GetMeshes(ON::render_mesh, meshes);
    for (const ON_Mesh* mesh : meshes) {
      // Every vertex has its normal; a mesh without vertices has none to have.
      if (!mesh || !mesh->IsValid() || (mesh->VertexCount() > 0 && !mesh->HasVertexNormals())) __builtin_trap();
      mesh->TriangleCount();
    }
    ON_SimpleArray<ON_Curve*> curves;
    object->GetWireframeCurves(curves);
    for (ON_Curve* curve : curves) {
      ON_PolylineCurve polyline;
      RhinoConvertCurveToPolyline(*curve, 0, 0, 0.25, 1.0, 0, 0, 0, 0, &polyline, true, nullptr);
      delete curve;
    }
  }
  for (int i = 0; i < doc.ViewCount(); ++i) {
    const ON_Viewport& vp = doc.View(i)->ActiveViewport().VP();
    double angle = 0;
    vp.GetCameraAngle(&angle);
    vp.CameraX();
  }
  return 0;
}
