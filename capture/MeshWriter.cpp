#include "capture/MeshWriter.h"

#include <cmath>
#include <span>
#include <type_traits>

#include "capture/ExportSession.h"
#include "capture/ZEM_Rhino_WebGLExport.h"
#include "page/MeshData.h"
#include "standin/host/CRhinoObjectIterator.h"

namespace {

bool Finite(const ON_3fPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The host's arrays hold plain floats and ints, so the page writer reads
// them where they lie.
static_assert(sizeof(ON_3fPoint) == 3 * sizeof(float) && std::is_standard_layout_v<ON_3fPoint>);
static_assert(sizeof(ON_3fVector) == 3 * sizeof(float) && std::is_standard_layout_v<ON_3fVector>);
static_assert(sizeof(ON_2fPoint) == 2 * sizeof(float) && std::is_standard_layout_v<ON_2fPoint>);
static_assert(sizeof(ON_MeshFace) == 4 * sizeof(int) && std::is_standard_layout_v<ON_MeshFace>);

template <typename T>
std::span<const float> Floats(const ON_SimpleArray<T>& array, std::size_t perItem) {
  const T* items = array.Array();
  return items ? std::span<const float>(&items->x, perItem * static_cast<std::size_t>(array.Count()))
               : std::span<const float>();
}

// The mesh as the page writer takes it; its texture coordinates only when
// they are to be written.
zem::PageMesh PageMeshOf(const ON_Mesh& mesh, bool texCoords) {
  const ON_MeshFace* faces = mesh.m_F.Array();
  return zem::PageMesh{
      Floats(mesh.m_V, 3), Floats(mesh.m_N, 3), texCoords ? Floats(mesh.m_T, 2) : std::span<const float>(),
      faces ? std::span<const int>(faces->vi, 4 * static_cast<std::size_t>(mesh.FaceCount())) : std::span<const int>()};
}

}  // namespace

bool zem::MeshNeedsRepair(const ON_Mesh& mesh) {
  const int vertexCount = mesh.VertexCount();
  if (mesh.m_N.Count() != vertexCount || (mesh.m_T.Count() != 0 && mesh.m_T.Count() != vertexCount)) return true;
  for (const ON_MeshFace& face : mesh.m_F) {
    if (!face.IsValid(vertexCount)) return true;
    for (int k = 0; k < 4; ++k)
      if (!Finite(mesh.m_V[face.vi[k]])) return true;
  }
  return false;
}

int zem::RepairMeshForPage(ON_Mesh& mesh) {
  const int vertexCount = mesh.VertexCount();
  ON_SimpleArray<ON_MeshFace> kept(mesh.FaceCount());
  int dropped = 0;
  for (const ON_MeshFace& face : mesh.m_F) {
    bool sound = face.IsValid(vertexCount);
    for (int k = 0; sound && k < 4; ++k) sound = Finite(mesh.m_V[face.vi[k]]);
    if (sound)
      kept.Append(face);
    else
      ++dropped;
  }
  if (dropped > 0) mesh.m_F = kept;
  if (mesh.m_N.Count() != vertexCount) mesh.ComputeVertexNormals();
  if (mesh.m_T.Count() != 0 && mesh.m_T.Count() != vertexCount) mesh.m_T.SetCount(0);
  return dropped;
}

bool zem::WriteMeshBuffers(ZEM_Rhino_WebGLExport& writer, const ON_Mesh& mesh, int materialNumber, int texCoordCount) {
  if (!writer.IsOpen()) return false;
  const bool textured = writer.UsesTexturedLayout(materialNumber);
  const bool useTexCoords = textured && texCoordCount > 0 && mesh.HasTextureCoordinates();
  zem::ExportContext& context = writer.Context();
  const zem::MeshStyle style{materialNumber, textured, context.Options().compact, context.Threads()};
  return zem::WriteMeshData(writer, zem::Session().Buffers(), PageMeshOf(mesh, useTexCoords), style,
                            [&context](int triangles) { context.AddTrianglesWritten(triangles); });
}

void zem::WriteInitVB(ZEM_Rhino_WebGLExport& writer) {
  zem::WriteInitVBHead(writer);
  CollectMeshes(writer);
  writer.WriteBoxLine();
}

void zem::CollectMeshes(ZEM_Rhino_WebGLExport& writer) {
  CRhinoDoc& document = writer.Context().Document();
  const CDisplayPipelineAttributes& display = writer.Context().Display();
  if (!display.m_bShadingOn) return;
  CRhinoObjectIterator it(document, CRhinoObjectIterator::all_objects,
                          CRhinoObjectIterator::active_and_reference_objects);
  for (CRhinoObject* object = it.First(); object; object = it.Next()) {
    if (!object->IsVisible()) continue;
    if (object->ObjectType() != ON::mesh_object && object->ObjectType() != ON::brep_object) continue;
    const int hostIndex = object->ObjectMaterial().MaterialIndex();
    bool textured = false;
    if (hostIndex >= 0 && hostIndex < document.m_material_table.MaterialCount() && display.m_bUseObjectMaterial) {
      const ON_Texture* texture = BitmapTexture(document.m_material_table[hostIndex]);
      textured = texture && texture->m_bOn;
    }
    const int materialNumber = writer.MaterialNumberOf(hostIndex);
    ON_SimpleArray<const ON_Mesh*> meshes;
    if (object->GetMeshes(ON::render_mesh, meshes) <= 0) continue;
    for (const ON_Mesh* mesh : meshes) {
      if (!mesh) continue;
      if (!MeshNeedsRepair(*mesh)) {
        // Sound as it is: written straight from the document.
        WriteMeshBuffers(writer, *mesh, materialNumber, textured ? mesh->m_T.Count() : 0);
        continue;
      }
      ON_Mesh copy(*mesh);
      RepairMeshForPage(copy);
      WriteMeshBuffers(writer, copy, materialNumber, textured ? copy.m_T.Count() : 0);
    }
  }
  writer.WriteMaterials();
}
