// The stored form of a mesh, read back by the layout its header documents:
// quantised values stay within their bounds or the floats are kept, and
// the indices of every buffer name the corners of the faces, in order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

#include "capture/CompactMesh.h"

namespace {

// Reads the sections of the block in order, each padded to 4 bytes.
struct Reader {
  const CompactMesh& m;
  std::size_t at = 0;
  template <typename T>
  std::vector<T> Take(std::size_t count) {
    std::vector<T> out(count);
    EXPECT_LE(at + count * sizeof(T), m.bytes.size());
    if (at + count * sizeof(T) <= m.bytes.size() && count > 0) std::memcpy(out.data(), &m.bytes[at], count * sizeof(T));
    at += (count * sizeof(T) + 3) / 4 * 4;
    return out;
  }
};

ON_Mesh GridMesh(int n, double offset, double size, bool quads) {
  ON_Mesh mesh;
  std::mt19937 random(5);
  std::normal_distribution<float> gauss;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      mesh.m_V.Append(ON_3fPoint(float(offset + size * i / n), float(offset + size * j / n), float(size * i * j / n / n)));
      mesh.m_N.Append(ON_3fVector(gauss(random), gauss(random), gauss(random)));
    }
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const int a = i * (n + 1) + j, b = a + n + 1;
      if (quads) mesh.m_F.Append(ON_MeshFace{{a, b, b + 1, a + 1}});
      else mesh.m_F.Append(ON_MeshFace{{a, b, b + 1, b + 1}}), mesh.m_F.Append(ON_MeshFace{{a, b + 1, a + 1, a + 1}});
    }
  return mesh;
}

class CompactMeshBounds : public ::testing::TestWithParam<double> {};

TEST_P(CompactMeshBounds, PositionsAndNormalsComeBackWithinTheirBounds) {
  ON_Mesh mesh = GridMesh(40, GetParam(), 0.01, true);
  mesh.m_N[7] = ON_3fVector(0, 0, -1);
  const CompactMesh m = EncodeCompactMesh(mesh, false, 3555);
  Reader r{m};
  const auto q = m.quantisedPositions ? r.Take<std::uint16_t>(3 * m.vertexCount) : std::vector<std::uint16_t>();
  const auto f = m.quantisedPositions ? std::vector<float>() : r.Take<float>(3 * m.vertexCount);
  ASSERT_NE(m.octNormalBits, 0);
  const double scale = m.octNormalBits == 8 ? 127 : 32767;
  std::vector<double> oct;
  if (m.octNormalBits == 8)
    for (auto c : r.Take<std::int8_t>(2 * m.vertexCount)) oct.push_back(c / scale);
  else
    for (auto c : r.Take<std::int16_t>(2 * m.vertexCount)) oct.push_back(c / scale);
  for (int k = 0; k < m.vertexCount; ++k) {
    const ON_3fPoint& p = mesh.m_V[m.vertices[k]];
    const float c[3] = {p.x, p.y, p.z};
    for (int a = 0; a < 3; ++a) {
      const double got = m.quantisedPositions ? float(m.positionMin[a] + q[3 * k + a] * m.positionStep[a]) : f[3 * k + a];
      EXPECT_LE(std::abs(got - c[a]), 0.01 / 65535) << "vertex " << k << " axis " << a;
    }
    double x = std::max(oct[2 * k], -1.0), y = std::max(oct[2 * k + 1], -1.0);
    const double z = 1 - std::abs(x) - std::abs(y);
    if (z < 0) std::tie(x, y) = std::pair((1 - std::abs(y)) * (x >= 0 ? 1 : -1), (1 - std::abs(x)) * (y >= 0 ? 1 : -1));
    const ON_3fVector& n = mesh.m_N[m.vertices[k]];
    const double cosine = (x * n.x + y * n.y + z * n.z) / std::hypot(x, y, z) / std::hypot(n.x, n.y, n.z);
    EXPECT_LE(std::acos(std::min(1.0, cosine)) * 180 / std::numbers::pi, 0.5) << "normal of vertex " << k;
  }
}

// Near the origin the positions are quantised; a millimetre-sized part a
// kilometre away cannot be, and keeps its floats.
INSTANTIATE_TEST_SUITE_P(Offsets, CompactMeshBounds, ::testing::Values(0.0, -3.0, 1e6));

struct Split {
  int grid;  // cells each way; 0: an empty mesh
  bool quads;
  int limit;
  std::vector<int> triangles;  // per buffer
};

class CompactMeshBuffers : public ::testing::TestWithParam<Split> {};

TEST_P(CompactMeshBuffers, IndicesNameTheFaceCornersInPageOrder) {
  const Split& s = GetParam();
  ON_Mesh mesh = GridMesh(s.grid, 0, 1, s.quads);
  // The last face reaches back to the first vertex: its buffer spans all.
  const int last = mesh.VertexCount() - 1;
  if (s.grid > 0) mesh.m_F.Append(ON_MeshFace{{0, last, last - 1, last - 1}});
  const CompactMesh m = EncodeCompactMesh(mesh, false, s.limit);
  std::vector<int> counts;
  for (const auto& b : m.buffers) counts.push_back(b.triangles);
  if (!s.triangles.empty()) EXPECT_EQ(counts, s.triangles);
  EXPECT_EQ(m.buffers.back().wide, m.vertexCount > 65536);

  Reader r{m};
  r.Take<std::uint8_t>(m.quantisedPositions ? 6 * m.vertexCount : 12 * m.vertexCount);
  r.Take<std::uint8_t>(m.octNormalBits ? m.octNormalBits / 4 * m.vertexCount : 12 * m.vertexCount);
  std::vector<int> corners;
  for (const auto& b : m.buffers) {
    if (b.wide)
      for (std::uint32_t i : r.Take<std::uint32_t>(3 * b.triangles)) corners.push_back(m.vertices.at(i));
    else
      for (std::uint16_t i : r.Take<std::uint16_t>(3 * b.triangles)) corners.push_back(m.vertices.at(b.base + i));
  }
  EXPECT_EQ(r.at, m.bytes.size());
  std::vector<int> expected;
  for (const ON_MeshFace& f : mesh.m_F) {
    expected.insert(expected.end(), {f.vi[0], f.vi[1], f.vi[2]});
    if (f.IsQuad()) expected.insert(expected.end(), {f.vi[0], f.vi[2], f.vi[3]});
  }
  EXPECT_EQ(corners, expected);
}

// Buffers split as the standard page splits them: a buffer that reaches
// the limit exactly is followed by an empty one, a quadrangle crossing it
// makes it one longer. 90,601 vertices need 32-bit indices.
INSTANTIATE_TEST_SUITE_P(Splits, CompactMeshBuffers,
                         ::testing::Values(Split{0, true, 3555, {0}}, Split{2, false, 9, {9, 0}},
                                           Split{2, false, 5, {5, 4}}, Split{2, true, 5, {6, 3}},
                                           Split{300, true, 3555, {}}));

}  // namespace
