#include "host/ON_Mesh.h"

#include "tests/support/HostTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(MeshTextureCoordinates, CountOnlyWithOnePerVertex) {
  ON_Mesh mesh = zem::testing::QuadGrid(1, 1);
  EXPECT_FALSE(mesh.HasTextureCoordinates());
  mesh.m_T.SetCount(3);
  EXPECT_FALSE(mesh.HasTextureCoordinates());
  EXPECT_FALSE(mesh.IsValid());
  mesh.m_T.SetCount(4);
  EXPECT_TRUE(mesh.HasTextureCoordinates());
  EXPECT_TRUE(mesh.IsValid());
}

TEST(MeshNormals, ComputedNormalsFollowTheWindingAndAreUnitLength) {
  ON_Mesh mesh = zem::testing::QuadGrid(2, 2);
  mesh.m_N.Empty();
  ASSERT_TRUE(mesh.ComputeVertexNormals());
  ASSERT_TRUE(mesh.HasVertexNormals());
  for (const ON_3fVector& n : mesh.m_N) {
    EXPECT_NEAR(n.z, 1.0f, 1e-6f);
  }
}

TEST(MeshNormals, RefuseFacesThatPointOutsideTheVertices) {
  ON_Mesh mesh = zem::testing::QuadGrid(1, 1);
  mesh.SetTriangle(1, 0, 1, 9);
  EXPECT_FALSE(mesh.ComputeVertexNormals());
  EXPECT_FALSE(mesh.IsValid());
}

TEST(MeshValidity, NonFiniteCoordinatesMakeAMeshInvalid) {
  ON_Mesh mesh = zem::testing::QuadGrid(1, 1);
  EXPECT_TRUE(mesh.IsValid());
  mesh.m_V[2].y = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(mesh.IsValid());
}

}  // namespace
