#include "standin/host/CRhinoBrepObject.h"

int CRhinoBrepObject::GetMeshes(ON::mesh_type type, ON_SimpleArray<const ON_Mesh*>& meshes) const {
  int count = 0;
  for (const ON_BrepFace& face : m_brep->m_F) {
    if (const ON_Mesh* mesh = face.Mesh(type)) {
      meshes.Append(mesh);
      ++count;
    }
  }
  return count;
}

int CRhinoBrepObject::GetWireframeCurves(ON_SimpleArray<ON_Curve*>& curves) const {
  for (const auto& edge : m_brep->m_E) curves.Append(edge->DuplicateCurve());
  return static_cast<int>(m_brep->m_E.size());
}
