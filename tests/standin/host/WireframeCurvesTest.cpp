#include "standin/host/CRhinoBrepObject.h"
#include "standin/host/ON_PolylineCurve.h"
#include "standin/host/CRhinoMeshObject.h"

#include <gtest/gtest.h>

namespace {

// Owns the curves a wireframe query hands out.
struct Wires {
  ON_SimpleArray<ON_Curve*> curves;
  ~Wires() {
    for (ON_Curve* c : curves) delete c;
  }
  const ON_PolylineCurve& Polyline(int i) const { return dynamic_cast<const ON_PolylineCurve&>(*curves[i]); }
};

// A closed box of six quads whose corners are repeated per face, as files
// with per-face normals store them.
ON_Mesh UnweldedBox() {
  const ON_3fPoint c[8] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
  const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
  ON_Mesh mesh;
  for (const auto& f : faces) {
    const int base = mesh.VertexCount();
    for (int k : f) mesh.m_V.Append(c[k]);
    mesh.m_F.Append(ON_MeshFace{{base, base + 1, base + 2, base + 3}});
  }
  return mesh;
}

TEST(WireframeCurvesTest, AnOpenBoxGivesTheRimOfItsOpening) {
  ON_Mesh box = UnweldedBox();
  box.m_F.Remove(1);  // the top
  CRhinoMeshObject object(box);
  Wires w;
  ASSERT_EQ(object.GetWireframeCurves(w.curves), 1);
  EXPECT_EQ(w.Polyline(0).PointCount(), 5);
  for (const ON_3dPoint& p : w.Polyline(0).m_pline) EXPECT_EQ(p.z, 1.0);
}

// Found by the document reader's fuzz target: a control point beyond single
// precision gave a render mesh with infinite vertices.
TEST(WireframeCurvesTest, NoneForASurfaceBeyondSinglePrecision) {
  ON_NurbsSurface plane(false, 2, 2, 2, 2);
  plane.SetCV(1, 0, {1, 0, 0});
  plane.SetCV(0, 1, {0, 1, 0});
  plane.SetCV(1, 1, {1.7e99, 1, 0});
  CRhinoBrepObject object(ON_Brep::FromSurface(plane));
  EXPECT_EQ(object.Brep()->CreateRenderMeshes(), 0);
  ON_SimpleArray<const ON_Mesh*> meshes;
  EXPECT_EQ(object.GetMeshes(ON::render_mesh, meshes), 0);
}

}  // namespace
