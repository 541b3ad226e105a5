// The stored form of a mesh, read back as the page reads it: meshoptimizer's
// decoders, then the decoder's arithmetic. Every triangle comes back in its
// buffer with its winding, every value within its bound, and the checksum
// is the block's.
#include <gtest/gtest.h>
#include <meshoptimizer.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "page/CompactMesh.h"

namespace zem {
namespace {

// A mesh's arrays, as the page writer takes them.
struct Mesh {
  std::vector<float> positions, normals, texCoords;
  std::vector<int> faces;  // a, b, c, d; c == d: a triangle
  PageMesh Page() const { return PageMesh{positions, normals, texCoords, faces}; }
  int VertexCount() const { return static_cast<int>(positions.size() / 3); }
};

// An n x n grid of size `size` at `offset`, curved, its normals in random
// directions, texture coordinates over [0, uvScale].
Mesh GridMesh(int n, double offset, double size, bool quads, double uvScale = 1) {
  Mesh mesh;
  std::mt19937 random(5);
  std::normal_distribution<float> gauss;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      mesh.positions.insert(mesh.positions.end(),
                            {float(offset + size * i / n), float(offset + size * j / n), float(size * i * j / n / n)});
      mesh.normals.insert(mesh.normals.end(), {gauss(random), gauss(random), gauss(random)});
      mesh.texCoords.insert(mesh.texCoords.end(), {float(uvScale * i / n), float(uvScale * j / n)});
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

// What the page's decoder makes of a stored mesh: per stored vertex its
// position, normal and texture coordinates, and the corners buffer by
// buffer as stored vertices.
struct Decoded {
  std::vector<std::array<float, 3>> positions, normals;
  std::vector<std::array<float, 2>> texCoords;
  std::vector<unsigned> corners;
};

Decoded Decode(const CompactMesh& m) {
  const std::size_t n = static_cast<std::size_t>(m.vertexCount);
  const std::uint8_t* at = m.bytes.data();
  auto vertices = [&](int section, auto sample, std::size_t size) {
    std::vector<decltype(sample)> out(n * size / sizeof(sample));
    EXPECT_EQ(meshopt_decodeVertexBuffer(out.data(), n, size, at, m.sections[section]), 0) << "section " << section;
    at += m.sections[section];
    return out;
  };
  // A quantised attribute of `axes` components (uint16, `stride` a vertex)
  // or its floats, into out.
  auto attribute = [&](int section, bool quantised, int axes, int stride, const double* min, const double* step,
                       auto& out) {
    out.resize(n);
    const auto q = quantised ? vertices(section, std::uint16_t(), 2 * stride) : std::vector<std::uint16_t>();
    const auto f = quantised ? std::vector<float>() : vertices(section, 0.0f, 4 * axes);
    for (std::size_t k = 0; k < n; ++k)
      for (int a = 0; a < axes; ++a)
        out[k][a] = quantised ? float(min[a] + q[stride * k + a] * step[a]) : f[axes * k + a];
  };
  Decoded d;
  attribute(CompactMesh::kPositions, m.quantisedPositions, 3, 4, m.positionMin, m.positionStep, d.positions);
  if (m.normalBits == 0) {
    attribute(CompactMesh::kNormals, false, 3, 0, nullptr, nullptr, d.normals);
  } else {
    d.normals.resize(n);
    const auto narrow =
        m.normalBits == 8 ? vertices(CompactMesh::kNormals, std::int8_t(), 4) : std::vector<std::int8_t>();
    const auto wide =
        m.normalBits > 8 ? vertices(CompactMesh::kNormals, std::int16_t(), 4) : std::vector<std::int16_t>();
    for (std::size_t k = 0; k < n; ++k)
      DecodeOctahedral(m.normalBits == 8 ? narrow[4 * k] : wide[2 * k],
                       m.normalBits == 8 ? narrow[4 * k + 1] : wide[2 * k + 1], m.normalBits, d.normals[k].data());
  }
  if (m.texCoords != CompactMesh::TexCoords::None)
    attribute(CompactMesh::kTexCoords, m.texCoords == CompactMesh::TexCoords::Quantised, 2, 2, m.texMin, m.texStep,
              d.texCoords);
  EXPECT_EQ(m.sections[CompactMesh::kTexCoords] == 0, m.texCoords == CompactMesh::TexCoords::None);
  at += m.texCoords == CompactMesh::TexCoords::None ? m.sections[CompactMesh::kTexCoords] : 0;
  std::size_t triangles = 0;
  for (int t : m.bufferTriangles) triangles += static_cast<std::size_t>(t);
  d.corners.resize(3 * triangles);
  EXPECT_EQ(meshopt_decodeIndexBuffer(d.corners.data(), d.corners.size(), 4, at, m.sections[CompactMesh::kIndices]), 0);
  EXPECT_EQ(at + m.sections[CompactMesh::kIndices], m.bytes.data() + m.bytes.size()) << "the sections fill the block";
  EXPECT_EQ(m.checksum, crc32_z(crc32_z(0, nullptr, 0), m.bytes.data(), m.bytes.size()));
  return d;
}

double AngleDegrees(const float a[3], const float b[3]) {
  const double dot = double(a[0]) * b[0] + double(a[1]) * b[1] + double(a[2]) * b[2];
  const double la = std::hypot(a[0], a[1], a[2]), lb = std::hypot(b[0], b[1], b[2]);
  return std::acos(std::min(1.0, dot / la / lb)) * 180 / std::numbers::pi;
}

// Checks that the decoded mesh holds the mesh's triangles, buffer by
// buffer (a triangle as the least turn of its corners' mesh vertices, which
// keeps its winding), and that every value is within its bound.
void ExpectSameMesh(const Mesh& mesh, const CompactMesh& m, int limit) {
  const Decoded d = Decode(m);
  auto turned = [](std::array<int, 3> t) {
    const std::array<int, 3> a = {t[1], t[2], t[0]}, b = {t[2], t[0], t[1]};
    return std::min({t, a, b});
  };
  std::vector<std::vector<std::array<int, 3>>> expected(1), got;
  int inBuffer = 0;
  for (std::size_t f = 0; f < mesh.faces.size(); f += 4) {
    const int* v = &mesh.faces[f];
    expected.back().push_back(turned({v[0], v[1], v[2]}));
    if (v[2] != v[3]) expected.back().push_back(turned({v[0], v[2], v[3]}));
    inBuffer += v[2] != v[3] ? 2 : 1;
    if (inBuffer >= limit) expected.emplace_back(), inBuffer = 0;
  }
  std::size_t k = 0;
  for (int triangles : m.bufferTriangles) {
    got.emplace_back();
    for (int t = 0; t < triangles; ++t, k += 3)
      got.back().push_back(
          turned({m.vertices.at(d.corners[k]), m.vertices.at(d.corners[k + 1]), m.vertices.at(d.corners[k + 2])}));
  }
  for (auto* buffers : {&expected, &got})
    for (auto& triangles : *buffers) std::sort(triangles.begin(), triangles.end());
  EXPECT_EQ(got, expected);

  float min[3], max[3], uvMin[2], uvMax[2];
  for (int a = 0; a < 3; ++a) min[a] = max[a] = d.positions.empty() ? 0 : mesh.positions[3 * m.vertices[0] + a];
  for (int a = 0; a < 2; ++a) uvMin[a] = uvMax[a] = d.texCoords.empty() ? 0 : mesh.texCoords[2 * m.vertices[0] + a];
  for (int v : m.vertices) {
    for (int a = 0; a < 3; ++a)
      min[a] = std::min(min[a], mesh.positions[3 * v + a]), max[a] = std::max(max[a], mesh.positions[3 * v + a]);
    for (int a = 0; a < 2 && !d.texCoords.empty(); ++a)
      uvMin[a] = std::min(uvMin[a], mesh.texCoords[2 * v + a]),
      uvMax[a] = std::max(uvMax[a], mesh.texCoords[2 * v + a]);
  }
  for (std::size_t s = 0; s < d.positions.size(); ++s) {
    const int v = m.vertices[s];
    for (int a = 0; a < 3; ++a)
      ASSERT_LE(std::abs(d.positions[s][a] - mesh.positions[3 * v + a]), (max[a] - min[a]) * kPositionTolerance)
          << "vertex " << v << " axis " << a;
    ASSERT_LE(AngleDegrees(d.normals[s].data(), &mesh.normals[3 * v]), kNormalToleranceDegrees) << "vertex " << v;
    for (int a = 0; a < 2 && !d.texCoords.empty(); ++a) {
      const double error = std::abs(d.texCoords[s][a] - mesh.texCoords[2 * v + a]);
      ASSERT_LE(error, std::min((uvMax[a] - uvMin[a]) * kPositionTolerance, kTexCoordTolerance)) << "vertex " << v;
    }
  }
}

struct Split {
  const char* name;
  int grid;  // cells each way; 0: an empty mesh
  bool quads;
  int limit;
  std::vector<int> triangles;  // per buffer; empty: not checked
};

class CompactMeshTest : public ::testing::TestWithParam<Split> {};

// Buffers split as the standard page splits them: a buffer that reaches
// the limit exactly is followed by an empty one, a quadrangle crossing it
// makes it one longer. A degenerate triangle and one reaching from the
// last vertex back to the first are kept.
TEST_P(CompactMeshTest, TrianglesComeBackInTheirBuffersWithinTheBounds) {
  const Split& s = GetParam();
  Mesh mesh = GridMesh(s.grid, 0, 1, s.quads);
  const int last = mesh.VertexCount() - 1;
  if (s.grid > 0) mesh.faces.insert(mesh.faces.end(), {0, last, last - 1, last - 1, 1, 1, 2, 2});
  const CompactMesh m = EncodeCompactMesh(mesh.Page(), s.limit, 2);
  if (!s.triangles.empty()) {
    EXPECT_EQ(m.bufferTriangles, s.triangles);
  }
  ExpectSameMesh(mesh, m, s.limit);
}

INSTANTIATE_TEST_SUITE_P(Splits, CompactMeshTest,
                         ::testing::Values(Split{"EmptyMesh", 0, true, 3555, {0}},
                                           Split{"LimitReachedExactly", 2, false, 10, {10, 0}},
                                           Split{"TrianglesOverTheLimit", 2, false, 4, {4, 4, 2}},
                                           Split{"QuadCrossingTheLimit", 2, true, 5, {6, 4}},
                                           Split{"ManyVertices", 300, true, 3555, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Positions are quantised near the origin and a thousand kilometres away,
// where float32 itself is coarser than the step. Texture coordinates
// repeated a hundred times would miss 1/4096 and keep their floats.
TEST_F(CompactMeshTest, QuantisesWhereTheBoundsHoldAndKeepsFloatsElsewhere) {
  struct Case {
    double offset, uvScale;
    CompactMesh::TexCoords texCoords;
  };
  for (const Case& c :
       {Case{0.0, 1, CompactMesh::TexCoords::Quantised}, Case{-3.0, 8, CompactMesh::TexCoords::Quantised},
        Case{1e6, 100, CompactMesh::TexCoords::Floats}}) {
    SCOPED_TRACE(c.offset);
    const Mesh mesh = GridMesh(40, c.offset, 0.01, true, c.uvScale);
    const CompactMesh m = EncodeCompactMesh(mesh.Page(), 3555);
    EXPECT_TRUE(m.quantisedPositions);
    EXPECT_EQ(m.texCoords, c.texCoords);
    ExpectSameMesh(mesh, m, 3555);
  }
}

// Half a degree needs 9-bit octahedral codes for some directions (8 bits
// come within 0.63 degree, 9 within 0.32): directions from every part of the sphere
// get 9 bits; a mesh whose normals all lie on the axes gets 8; a zero
// normal keeps floats.
TEST_F(CompactMeshTest, NormalsTakeTheFewestBitsThatHoldHalfADegree) {
  Mesh sphere = GridMesh(150, 0, 1, true);
  EXPECT_EQ(EncodeCompactMesh(sphere.Page(), 3555).normalBits, 9);
  Mesh axes = GridMesh(3, 0, 1, true);
  for (std::size_t k = 0; k < axes.normals.size(); ++k) axes.normals[k] = (k % 3 == k / 3 % 3) ? -1.0f : 0.0f;
  EXPECT_EQ(EncodeCompactMesh(axes.Page(), 3555).normalBits, 8);
  axes.normals[0] = axes.normals[1] = axes.normals[2] = 0;
  const CompactMesh zero = EncodeCompactMesh(axes.Page(), 3555);
  EXPECT_EQ(zero.normalBits, 0);
  ExpectSameMesh(axes, zero, 3555);
}

TEST_F(CompactMeshTest, TheBlockIsTheSameForAnyThreadCount) {
  const Mesh mesh = GridMesh(120, 0, 1, true);
  const CompactMesh one = EncodeCompactMesh(mesh.Page(), 3555, 1);
  const CompactMesh four = EncodeCompactMesh(mesh.Page(), 3555, 4);
  EXPECT_EQ(one.bytes, four.bytes);
  EXPECT_EQ(one.vertices, four.vertices);
}

}  // namespace
}  // namespace zem
