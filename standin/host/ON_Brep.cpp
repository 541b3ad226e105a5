#include "standin/host/ON_Brep.h"

const ON_Mesh* ON_BrepFace::Mesh(ON::mesh_type type) const {
  if (type == ON::render_mesh || type == ON::any_mesh || type == ON::default_mesh) return m_render_mesh.get();
  return nullptr;
}

std::unique_ptr<ON_Brep> ON_Brep::FromSurface(const ON_NurbsSurface& surface) {
  if (!surface.IsValid()) return nullptr;
  auto brep = std::make_unique<ON_Brep>();
  ON_BrepFace face;
  face.m_surface = std::make_shared<ON_NurbsSurface>(surface);
  brep->m_F.push_back(face);
  for (int dir = 0; dir < 2; ++dir) {
    const ON_Interval d = surface.Domain(dir);
    for (double c : {d[0], d[1]}) {
      std::unique_ptr<ON_NurbsCurve> edge = surface.IsoCurve(dir, c);
      if (!edge) continue;
      // A collapsed edge has all its control points in one place.
      const ON_BoundingBox box = edge->BoundingBox();
      if (box.Diagonal() <= 1e-12 * (surface.BoundingBox().Diagonal() + 1)) continue;
      brep->m_E.push_back(std::shared_ptr<const ON_Curve>(std::move(edge)));
    }
  }
  return brep;
}

int ON_Brep::CreateRenderMeshes(int density) {
  int count = 0;
  for (ON_BrepFace& face : m_F) {
    if (!face.m_render_mesh && face.m_surface) {
      auto mesh = std::make_shared<ON_Mesh>();
      if (face.m_surface->Tessellate(*mesh, density)) face.m_render_mesh = mesh;
    }
    if (face.m_render_mesh) ++count;
  }
  return count;
}

void ON_Brep::DestroyRenderMeshes() {
  for (ON_BrepFace& face : m_F) {
    if (face.m_surface) face.m_render_mesh.reset();
  }
}

ON_BoundingBox ON_Brep::BoundingBox() const {
  ON_BoundingBox box;
  for (const ON_BrepFace& face : m_F) {
    if (face.m_surface) box.Union(face.m_surface->BoundingBox());
    if (face.m_render_mesh) box.Union(face.m_render_mesh->BoundingBox());
  }
  for (const auto& edge : m_E) box.Union(edge->BoundingBox());
  return box;
}
