// initVB's mesh statements from plain arrays, without the host: buffers
// split at the page's limit, any thread count writes the same text, and
// the camera's angle keeps its four-decimal half turn.
#include "page/MeshData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "page/DataFunctions.h"
#include "page/ZEM_WebGLExport.h"
#include "tests/support/CaptureTestSupport.h"

namespace zem {
namespace {

class Page : public ZEM_WebGLExport {
 public:
  bool HasTexture(int) override { return false; }
};

struct Mesh {
  std::vector<float> positions, normals;
  std::vector<int> faces;
  PageMesh View() const { return PageMesh{positions, normals, {}, faces}; }
  void Vertex(float x, float y, float z) {
    positions.insert(positions.end(), {x, y, z});
    normals.insert(normals.end(), {0, 0, 1});
  }
};

// A fan of n triangles (or n quadrangles) around the first vertex.
Mesh Fan(int n, bool quads = false) {
  Mesh mesh;
  for (int i = 0; i <= 2 * n + 1; ++i) mesh.Vertex(float(i), float(i % 3), 0);
  for (int i = 0; i < n; ++i)
    mesh.faces.insert(mesh.faces.end(), {0, 2 * i + 1, 2 * i + 2, quads ? 2 * i + 3 : 2 * i + 2});
  return mesh;
}

// A grid of quadrangles and triangles whose faces share their vertices.
Mesh SharedGrid(int n) {
  Mesh mesh;
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) mesh.Vertex(float(i) / 7, float(j) / 3, float((i * j) % 5) / 11);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const int a = j * (n + 1) + i;
      mesh.faces.insert(mesh.faces.end(), {a, a + 1, a + n + 2, (i + j) % 3 ? a + n + 1 : a + n + 2});
    }
  return mesh;
}

// A tube of n by n quadrangles closed on itself both ways, as a torus is:
// the last faces use the first vertices again.
Mesh Tube(int n) {
  Mesh mesh;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) mesh.Vertex(float(i) / 7, float(j) / 3, float((i * j) % 5) / 11);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const int a = j * n + i, b = j * n + (i + 1) % n, c = ((j + 1) % n) * n + (i + 1) % n, d = ((j + 1) % n) * n + i;
      mesh.faces.insert(mesh.faces.end(), {a, b, c, d});
    }
  return mesh;
}

// The same faces, each corner a vertex of its own.
Mesh Unshared(const Mesh& shared) {
  Mesh mesh;
  for (std::size_t f = 0; f < shared.faces.size(); f += 4) {
    const int* face = &shared.faces[f];
    const int first = static_cast<int>(mesh.positions.size() / 3);
    for (int k = 0; k < 4; ++k)
      mesh.Vertex(shared.positions[3 * face[k]], shared.positions[3 * face[k] + 1], shared.positions[3 * face[k] + 2]);
    mesh.faces.insert(mesh.faces.end(), {first, first + 1, first + 2, face[2] == face[3] ? first + 2 : first + 3});
  }
  return mesh;
}

// Triangles with a vertex of their own at every corner; the lowest y is a
// zero of either sign, met in every buffer.
Mesh Soup(int triangles) {
  Mesh mesh;
  for (int t = 0; t < triangles; ++t) {
    const float y = (t % 97 == 0) ? ((t / 97) % 2 ? 0.0f : -0.0f) : 1.0f + float(t % 13) / 9;
    for (int k = 0; k < 3; ++k) mesh.Vertex(float(t % 101) / 3 + k, y, float(k) / 7);
    mesh.faces.insert(mesh.faces.end(), {3 * t, 3 * t + 1, 3 * t + 2, 3 * t + 2});
  }
  return mesh;
}

class MeshDataTest : public testing::TempFolderTest {
 protected:
  // initVB with the meshes, each in its own buffers; the page's text.
  std::string InitVB(const std::vector<Mesh>& meshes, int threads, std::vector<int>* told = nullptr) {
    Page page;
    BufferNumbers numbers;  // fresh: the same names for every thread count
    EXPECT_TRUE(page.OpenPage(PagePath()));
    WriteInitVBHead(page);
    for (const Mesh& mesh : meshes)
      WriteMeshData(page, numbers, mesh.View(), MeshStyle{0, false, false, threads}, [&](int triangles) {
        if (told) told->push_back(triangles);
      });
    page.WriteBoxLine();
    page.WriteBody();
    EXPECT_TRUE(page.ClosePage());
    const std::string text = ReadPage();
    const auto at = text.find("function initVB(");
    return text.substr(at, text.find("bbmax.z=", at) + 40 - at);
  }
};

// A buffer that reaches the limit is followed by the next (an empty one at
// the end of the mesh); a quadrangle crossing the limit makes it 3556; a
// mesh without faces still has its one empty buffer.
TEST_F(MeshDataTest, SplitsBuffersAt3555Triangles) {
  std::vector<int> told;
  const std::string text = InitVB({Fan(3555), Fan(3556), Fan(2000, true), Mesh()}, 1, &told);
  EXPECT_EQ(told, (std::vector<int>{3555, 0, 3555, 1, 3556, 444, 0}));
  std::vector<int> pushed;
  for (const auto& call : testing::Calls(text, "bl.push(")) pushed.push_back(static_cast<int>(call.at(0)));
  // lbl.push holds no curve here: every bl.push is a mesh buffer's.
  EXPECT_EQ(pushed, told);
}

// Shared vertices, corners of their own, and parts whose boxes merge with a
// zero of either sign: the text one thread writes, byte for byte.
TEST_F(MeshDataTest, ManyThreadsWriteTheTextOneThreadWrites) {
  const std::vector<Mesh> meshes = {SharedGrid(160), Fan(3556, true), Soup(80000)};
  const std::string one = InitVB(meshes, 1);
  ASSERT_GT(one.size(), 1000000u);
  for (const int threads : {2, 3, 8}) {
    const std::string many = InitVB(meshes, threads);
    EXPECT_TRUE(one == many) << threads << " threads: texts differ from byte "
                             << std::mismatch(one.begin(), one.end(), many.begin(), many.end()).first - one.begin();
  }
}

// Records made once for shared vertices, a round of buffers at a time, read
// as the records of every corner made on its own, also where the last
// buffers use the first vertices again.
TEST_F(MeshDataTest, SharedVerticesWriteWhatCornersOfTheirOwnWrite) {
  const Mesh tube = Tube(300);
  const std::string own = InitVB({Unshared(tube)}, 1);
  ASSERT_GT(testing::Calls(own, "bl.push(").size(), 40u);  // many rounds of buffers
  for (const int threads : {1, 3}) {
    const std::string shared = InitVB({tube}, threads);
    EXPECT_TRUE(shared == own) << threads << " threads: texts differ from byte "
                               << std::mismatch(own.begin(), own.end(), shared.begin(), shared.end()).first -
                                      own.begin();
  }
}

TEST_F(MeshDataTest, InitViewWritesTheAngleWithTheFourDecimalHalfTurnAndKeepsAZeroAxisZero) {
  Page page;
  ASSERT_TRUE(page.OpenPage(PagePath()));
  CameraRecord camera{{1, 2, 3}, {0, 0, 0}, {0, 0, 0}, {0, 0, 1}, static_cast<float>(M_PI / 4)};
  WriteInitViewFunction(page, camera);
  ASSERT_TRUE(page.ClosePage());
  EXPECT_NE(ReadPage().find("vx.x=0;vx.y=0;vx.z=0;vy.x=0;vy.y=0;vy.z=1;return 90.0027};"), std::string::npos);
}

}  // namespace
}  // namespace zem
