#pragma once
// A mesh object. Its render mesh is the mesh itself; its wireframe curves
// are the naked boundary edges, joined into polylines.
#include "standin/host/CRhinoObject.h"

class CRhinoMeshObject : public CRhinoObject {
 public:
  CRhinoMeshObject() = default;
  explicit CRhinoMeshObject(ON_Mesh mesh) : m_mesh(std::move(mesh)) {}

  ON::object_type ObjectType() const override { return ON::mesh_object; }
  ON_BoundingBox BoundingBox() const override { return m_mesh.BoundingBox(); }
  int GetMeshes(ON::mesh_type type, ON_SimpleArray<const ON_Mesh*>& meshes) const override;
  int GetWireframeCurves(ON_SimpleArray<ON_Curve*>& curves) const override;

  const ON_Mesh* Mesh() const { return &m_mesh; }
  ON_Mesh& Mesh() { return m_mesh; }

 private:
  ON_Mesh m_mesh;
};

namespace zem {
// The naked edges of a mesh (edges of exactly one face, vertices with equal
// positions taken as one) joined into polylines; appended to `curves`.
int MeshNakedEdgePolylines(const ON_Mesh& mesh, ON_SimpleArray<ON_Curve*>& curves);
}  // namespace zem
