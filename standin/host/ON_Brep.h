#pragma once
// A boundary representation, as far as showing it needs: faces, each with
// its surface (when known) and its render mesh (once made), and the edge
// curves. A single surface is a brep of one face.
#include "standin/host/ON.h"
#include "standin/host/ON_Curve.h"
#include "standin/host/ON_Mesh.h"
#include "standin/host/ON_NurbsSurface.h"

#include <memory>
#include <vector>

class ON_BrepFace {
 public:
  // The face's mesh of the given kind, or null when none has been made.
  const ON_Mesh* Mesh(ON::mesh_type type) const;

  std::shared_ptr<const ON_NurbsSurface> m_surface;
  std::shared_ptr<ON_Mesh> m_render_mesh;
};

class ON_Brep {
 public:
  ON::object_type ObjectType() const { return ON::brep_object; }
  int FaceCount() const { return static_cast<int>(m_F.size()); }
  int EdgeCount() const { return static_cast<int>(m_E.size()); }

  // A brep of one face from the surface, with its boundary edges (collapsed
  // ones, such as the poles of a sphere, left out).
  static std::unique_ptr<ON_Brep> FromSurface(const ON_NurbsSurface& surface);
  // Makes the render mesh of every face that has a surface; answers how
  // many faces have one afterwards.
  int CreateRenderMeshes(int density = 8);
  void DestroyRenderMeshes();
  ON_BoundingBox BoundingBox() const;

  std::vector<ON_BrepFace> m_F;
  std::vector<std::shared_ptr<const ON_Curve>> m_E;
};
