// The stored form of a mesh, read back by the layout its header documents:
// positions stay within their bound, and the indices of every buffer name
// the corners of the faces in page order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "page/CompactMesh.h"

namespace zem {
namespace {

// Reads the sections of the block in order, each padded to 4 bytes.
struct Reader {
  const CompactMesh& m;
  std::size_t at = 0;
  template <typename T>
  std::vector<T> Take(std::size_t count) {
    std::vector<T> out(count);
    if (at + count * sizeof(T) > m.bytes.size())
      ADD_FAILURE() << "the block ends early";
    else if (count > 0)
      std::memcpy(out.data(), &m.bytes[at], count * sizeof(T));
    at += (count * sizeof(T) + 3) / 4 * 4;
    return out;
  }
};

// A mesh's arrays, as the page writer takes them.
struct Mesh {
  std::vector<float> positions, normals;
  std::vector<int> faces;  // a, b, c, d; c == d: a triangle
  PageMesh Page() const { return PageMesh{positions, normals, {}, faces}; }
  int VertexCount() const { return static_cast<int>(positions.size() / 3); }
};

Mesh GridMesh(int n, double offset, double size, bool quads) {
  Mesh mesh;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      mesh.positions.insert(mesh.positions.end(),
                            {float(offset + size * i / n), float(offset + size * j / n), float(size * i * j / n / n)});
      mesh.normals.insert(mesh.normals.end(), {0, 0, 1});
    }
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const int a = i * (n + 1) + j, b = a + n + 1;
      if (quads)
        mesh.faces.insert(mesh.faces.end(), {a, b, b + 1, a + 1});
      else
        mesh.faces.insert(mesh.faces.end(), {a, b, b + 1, b + 1, a, b + 1, a + 1, a + 1});
    }
  return mesh;
}

struct Split {
  const char* name;
  int grid;  // cells each way; 0: an empty mesh
  bool quads;
  int limit;
  std::vector<int> triangles;  // per buffer; empty: not checked
};

class CompactMeshTest : public ::testing::TestWithParam<Split> {};

// Near the origin positions are quantised; a centimetre-sized part a
// thousand kilometres away cannot be, and keeps its floats. Either way
// every position comes back within 1/65535 of the extent.
TEST_F(CompactMeshTest, PositionsComeBackWithinTheBound) {
  for (const double offset : {0.0, -3.0, 1e6}) {
    SCOPED_TRACE(offset);
    const Mesh mesh = GridMesh(40, offset, 0.01, true);
    const CompactMesh m = EncodeCompactMesh(mesh.Page(), 3555);
    Reader r{m};
    const auto q = m.quantisedPositions ? r.Take<std::uint16_t>(3 * m.vertexCount) : std::vector<std::uint16_t>();
    const auto f = m.quantisedPositions ? std::vector<float>() : r.Take<float>(3 * m.vertexCount);
    for (int k = 0; k < m.vertexCount; ++k)
      for (int a = 0; a < 3; ++a) {
        const double got =
            m.quantisedPositions ? float(m.positionMin[a] + q[3 * k + a] * m.positionStep[a]) : f[3 * k + a];
        EXPECT_LE(std::abs(got - mesh.positions[3 * m.vertices[k] + a]), 0.01 / 65535)
            << "vertex " << k << " axis " << a;
      }
  }
}

TEST_P(CompactMeshTest, IndicesNameTheFaceCornersInPageOrder) {
  const Split& s = GetParam();
  Mesh mesh = GridMesh(s.grid, 0, 1, s.quads);
  // The last face reaches back to the first vertex: its buffer spans all.
  const int last = mesh.VertexCount() - 1;
  if (s.grid > 0) mesh.faces.insert(mesh.faces.end(), {0, last, last - 1, last - 1});
  const CompactMesh m = EncodeCompactMesh(mesh.Page(), s.limit);
  std::vector<int> counts;
  for (const auto& b : m.buffers) counts.push_back(b.triangles);
  if (!s.triangles.empty()) {
    EXPECT_EQ(counts, s.triangles);
  }
  EXPECT_EQ(m.buffers.back().wide, m.vertexCount > 65536);

  Reader r{m};
  r.Take<std::uint8_t>(m.quantisedPositions ? 6 * m.vertexCount : 12 * m.vertexCount);
  r.Take<std::uint8_t>(m.octNormalBits ? m.octNormalBits / 4 * m.vertexCount : 12 * m.vertexCount);
  std::vector<int> corners, expected;
  for (const auto& b : m.buffers) {
    if (b.wide)
      for (std::uint32_t i : r.Take<std::uint32_t>(3 * b.triangles)) corners.push_back(m.vertices.at(i));
    else
      for (std::uint16_t i : r.Take<std::uint16_t>(3 * b.triangles)) corners.push_back(m.vertices.at(b.base + i));
  }
  EXPECT_EQ(r.at, m.bytes.size());
  for (std::size_t f = 0; f < mesh.faces.size(); f += 4) {
    const int* vi = &mesh.faces[f];
    expected.insert(expected.end(), {vi[0], vi[1], vi[2]});
    if (vi[2] != vi[3]) expected.insert(expected.end(), {vi[0], vi[2], vi[3]});
  }
  EXPECT_EQ(corners, expected);
}

// Buffers split as the standard page splits them: a buffer that reaches
// the limit exactly is followed by an empty one, a quadrangle crossing it
// makes it one longer. 90,601 vertices need 32-bit indices.
INSTANTIATE_TEST_SUITE_P(Splits, CompactMeshTest,
                         ::testing::Values(Split{"EmptyMesh", 0, true, 3555, {0}},
                                           Split{"LimitReachedExactly", 2, false, 9, {9, 0}},
                                           Split{"TrianglesOverTheLimit", 2, false, 5, {5, 4}},
                                           Split{"QuadCrossingTheLimit", 2, true, 5, {6, 3}},
                                           Split{"WideIndices", 300, true, 3555, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zem
