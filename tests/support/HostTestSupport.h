#pragma once
// Small builders shared by the host tests.
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"

namespace zem::testing {

// A flat grid of nx x ny quads in the plane z = 0, one unit each.
inline ON_Mesh QuadGrid(int nx, int ny) {
  ON_Mesh mesh;
  for (int j = 0; j <= ny; ++j) {
    for (int i = 0; i <= nx; ++i) mesh.m_V.Append(ON_3fPoint(static_cast<float>(i), static_cast<float>(j), 0));
  }
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      const int a = j * (nx + 1) + i;
      mesh.m_F.Append(ON_MeshFace{{a, a + 1, a + nx + 2, a + nx + 1}});
    }
  }
  mesh.ComputeVertexNormals();
  return mesh;
}

// Adds a mesh object with the given attributes and answers it.
inline CRhinoMeshObject* AddMesh(CRhinoDoc& doc, const ON_3dmObjectAttributes& attributes = {},
                                 bool reference = false) {
  auto* object = new CRhinoMeshObject(QuadGrid(1, 1));
  object->ModifyAttributes(attributes);
  doc.AddObject(object, reference);
  return object;
}

}  // namespace zem::testing
