#pragma once
// A brep object (polysurfaces and single surfaces alike). Its render meshes
// are those its faces have been given; its wireframe curves are its edges.
#include "standin/host/CRhinoObject.h"
#include "standin/host/ON_Brep.h"

#include <memory>

class CRhinoBrepObject : public CRhinoObject {
 public:
  explicit CRhinoBrepObject(std::unique_ptr<ON_Brep> brep) : m_brep(std::move(brep)) {}

  ON::object_type ObjectType() const override { return ON::brep_object; }
  ON_BoundingBox BoundingBox() const override { return m_brep->BoundingBox(); }
  // Render meshes of the faces that have one; none before they are made.
  int GetMeshes(ON::mesh_type type, ON_SimpleArray<const ON_Mesh*>& meshes) const override;
  int GetWireframeCurves(ON_SimpleArray<ON_Curve*>& curves) const override;

  const ON_Brep* Brep() const { return m_brep.get(); }
  ON_Brep* Brep() { return m_brep.get(); }

 private:
  std::unique_ptr<ON_Brep> m_brep;
};
