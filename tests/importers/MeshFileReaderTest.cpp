#include "importers/MeshFileReader.h"

#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDib.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/ON_PolylineCurve.h"
#include "importers/ModelFile.h"
#include "standin/platform/TextEncoding.h"
#include "tests/support/HostTestSupport.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolderTest.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

namespace {

namespace fs = std::filesystem;

class MeshFileReaderTest : public zem::testing::TempFolderTest {
 protected:
  std::wstring Write(const char* name, const std::string& text) const {
    std::ofstream(folder / name, std::ios::binary) << text;
    return zem::FromUtf8((folder / name).string());
  }
  // Reads the file into the test's document; on failure says why.
  ::testing::AssertionResult Read(const std::wstring& path) {
    if (zem::ReadModelFile(path, doc, report)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << zem::ToUtf8(report.error);
  }
  CRhinoDoc doc;
  zem::ModelReport report;
  static std::vector<const CRhinoObject*> Objects(const CRhinoDoc& doc) {
    std::vector<const CRhinoObject*> all;
    CRhinoObjectIterator it(doc, 7, 3);
    for (const CRhinoObject* o = it.First(); o; o = it.Next()) all.push_back(o);
    return all;
  }
  // The render mesh of the document's first object.
  const ON_Mesh* FirstMesh() const {
    ON_SimpleArray<const ON_Mesh*> meshes;
    const auto objects = Objects(doc);
    return !objects.empty() && objects[0]->GetMeshes(ON::render_mesh, meshes) == 1 ? meshes[0] : nullptr;
  }
};

const char* kQuadObj =
    "mtllib quad.mtl\n"
    "v 0 0 0\nv 2 0 0\nv 2 0 1\nv 0 0 1\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
    "vn 0 -1 0\n"
    "usemtl Painted\n"
    "f 1/1/1 2/2/1 3/3/1 4/4/1\n";

const char* kQuadMtl =
    "newmtl Painted\n"
    "Kd 0.8 0.4 0.2\nKs 1 1 1\nKa 0.1 0.1 0.1\nKe 0 0 0\nNs 64\nd 0.75\nNi 1.45\n"
    "map_Kd paint.png\n";

TEST_F(MeshFileReaderTest, ObjWithMtlGivesAMeshObjectWithItsMaterialAndTexture) {
  CRhinoDib picture(4, 4, 24);
  ASSERT_TRUE(picture.WriteToFile(zem::FromUtf8((folder / "paint.png").string()).c_str()));
  Write("quad.mtl", kQuadMtl);
  const std::wstring obj = Write("quad.obj", kQuadObj);
  ASSERT_TRUE(Read(obj));
  EXPECT_EQ(doc.Title(), L"quad");

  auto objects = Objects(doc);
  ASSERT_EQ(objects.size(), 1u);
  ASSERT_NE(FirstMesh(), nullptr);
  const ON_Mesh& mesh = *FirstMesh();
  EXPECT_EQ(mesh.TriangleCount(), 2) << "polygons are triangulated";
  EXPECT_TRUE(mesh.HasTextureCoordinates());
  EXPECT_TRUE(mesh.HasVertexNormals());
  // OBJ's y axis (up) becomes z; the normal (0, -1, 0) becomes (0, 0, -1).
  const ON_BoundingBox box = mesh.BoundingBox();
  EXPECT_FLOAT_EQ(static_cast<float>(box.m_max.x), 2.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(box.m_min.y), -1.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(box.m_max.z), 0.0f);
  EXPECT_NEAR(mesh.m_N[0].z, -1.0f, 1e-6f);

  const CRhinoMaterial& m = objects[0]->ObjectMaterial();
  ASSERT_GE(m.MaterialIndex(), 0);
  EXPECT_EQ(m.Diffuse(), ON_Color(204, 102, 51));
  EXPECT_EQ(m.m_ambient, ON_Color(26, 26, 26));
  EXPECT_NEAR(m.m_transparency, 0.25, 1e-6);
  EXPECT_NEAR(m.m_index_of_refraction, 1.45, 1e-6);
  EXPECT_NEAR(m.Shine(), 0.5 * ON_Material::MaxShine(), 1e-9) << "a Phong exponent of 64 is half the range";
  const int t = m.FindTexture(nullptr, ON_Texture::bitmap_texture);
  ASSERT_GE(t, 0);
  EXPECT_TRUE(m.m_textures[t].m_bOn);
  EXPECT_EQ(m.m_textures[t].m_mode, 1);
  EXPECT_EQ(m.m_textures[t].m_filename, zem::FromUtf8((folder / "paint.png").string()));
}

TEST_F(MeshFileReaderTest, TheModelOpensInARenderedPerspectiveThatSeesAllOfIt) {
  Write("quad.mtl", kQuadMtl);
  ASSERT_TRUE(zem::OpenModelFile(Write("quad.obj", kQuadObj), report));
  CRhinoView* view = RhinoApp().ActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(RhinoApp().ActiveDoc()->ViewCount(), 4) << "the default layout";
  EXPECT_EQ(view->Name(), L"Perspective");
  const CDisplayPipelineAttributes* mode = view->DisplayPipeline()->DisplayAttrs();
  EXPECT_EQ(mode->m_szEnglishName, L"Rendered");
  EXPECT_TRUE(mode->m_bShadingOn);
  EXPECT_TRUE(mode->m_bUseObjectMaterial);
  const ON_Viewport& vp = view->Viewport().VP();
  EXPECT_TRUE(vp.IsPerspectiveProjection());
  const ON_BoundingBox box = RhinoApp().ActiveDoc()->BoundingBox();
  EXPECT_NEAR(vp.TargetPoint().DistanceTo(box.Center()), 0, 1e-9);
  EXPECT_GT(vp.CameraLocation().z, box.m_max.z) << "looking down on the model";
  RhinoApp().CloseDocument();
}

TEST_F(MeshFileReaderTest, MissingNormalsAreComputedAndNoted) {
  const std::wstring obj = Write("bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  ASSERT_TRUE(Read(obj));
  ASSERT_EQ(report.notes.size(), 1u);
  EXPECT_NE(report.notes[0].find(L"normals computed"), std::wstring::npos);
  ASSERT_NE(FirstMesh(), nullptr);
  EXPECT_TRUE(FirstMesh()->HasVertexNormals());
  EXPECT_LT(Objects(doc)[0]->ObjectMaterial().MaterialIndex(), 1000);
}

TEST_F(MeshFileReaderTest, LinePrimitivesBecomePolylineCurves) {
  const std::wstring obj = Write("lines.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 5 5 5\nv 6 5 5\nl 1 2 3\nl 4 5\n");
  ASSERT_TRUE(Read(obj));
  int curves = 0, points = 0;
  for (const CRhinoObject* o : Objects(doc)) {
    if (const auto* c = dynamic_cast<const CRhinoCurveObject*>(o)) {
      ++curves;
      points += dynamic_cast<const ON_PolylineCurve&>(*c->Curve()).PointCount();
    }
  }
  EXPECT_EQ(curves, 2);
  EXPECT_EQ(points, 5) << "the first line's two segments join into one polyline";
}

TEST_F(MeshFileReaderTest, GltfIsTurnedFromYUpToZUpWithItsBaseColour) {
  // One triangle (0,0,0) (1,0,0) (0,2,0) in a green material, its node
  // moved 5 along z.
  const std::wstring gltf = zem::FromUtf8((fs::path(ZEM_TEST_DATA_DIR) / "models" / "triangle.gltf").string());
  ASSERT_TRUE(Read(gltf));
  const ON_BoundingBox box = doc.BoundingBox();
  // glTF y (up) becomes z; the node's z translation of 5 becomes y = -5.
  EXPECT_FLOAT_EQ(static_cast<float>(box.m_max.z), 2.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(box.m_min.y), -5.0f);
  auto objects = Objects(doc);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0]->ObjectMaterial().Diffuse(), ON_Color(0, 255, 0));
}

TEST_F(MeshFileReaderTest, AsciiPlyWithQuadsIsRead) {
  const std::wstring ply =
      Write("quad.ply",
            "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\nproperty float y\nproperty float z\n"
            "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
            "0 0 0\n1 0 0\n1 1 0\n0 1 0\n4 0 1 2 3\n");
  ASSERT_TRUE(Read(ply));
  ASSERT_EQ(Objects(doc).size(), 1u);
  ASSERT_NE(FirstMesh(), nullptr);
  EXPECT_EQ(FirstMesh()->TriangleCount(), 2);
  EXPECT_TRUE(FirstMesh()->IsValid());
}

TEST_F(MeshFileReaderTest, FaceIndicesOutsideTheVerticesAreRefused) {
  const bool ok = zem::ReadModelFile(Write("bad.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 7\n"), doc, report);
  EXPECT_FALSE(ok && doc.ObjectSlotCount() > 0) << "an index beyond the vertices never reaches a mesh";
  EXPECT_TRUE(ok || !report.error.empty());
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string out;
  for (char c : ascii) out += bigEndian ? std::string(1, '\0') + c : std::string(1, c) + '\0';
  return out;
}

// Files that no reader here takes, or that hold nothing a page shows, are
// refused for what they are, not as files without geometry.
TEST_F(MeshFileReaderTest, FilesNoReaderTakesAreRefusedForWhatTheyAre) {
  const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const std::string plyHead = "ply\nformat ascii 1.0\nelement vertex ";
  const std::string xyz = "property float x\nproperty float y\nproperty float z\n";
  for (const auto& [name, bytes, says] : std::vector<std::tuple<const char*, std::string, const char*>>{
           {"le.obj", "\xff\xfe" + Utf16(triangle, false), "the file is UTF-16 text"},
           {"be.obj", "\xfe\xff" + Utf16(triangle, true), "the file is UTF-16 text"},
           {"no-mark.dae", Utf16("<?xml version=\"1.0\"?><COLLADA/>", false), "the file is UTF-16 text"},
           {"old.glb", std::string("glTF\x01\0\0\0\x14\0\0\0\0\0\0\0\0\0\0\0", 20), "a glTF 1.0 binary"},
           {"points.ply", plyHead + "3\n" + xyz + "end_header\n0 0 0\n1 0 0\n0 1 0\n", "holds only points (3)"},
           {"points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n", "holds only points (4)"},
           {"boast.ply", plyHead + "900000000\n" + xyz + "end_header\n0 0 0\n",
            "the header declares more elements than the file's"}}) {
    CRhinoDoc doc;
    zem::ModelReport report;
    EXPECT_FALSE(zem::ReadModelFile(Write(name, bytes), doc, report)) << name;
    EXPECT_NE(zem::ToUtf8(report.error).find(says), std::string::npos) << name << ": " << zem::ToUtf8(report.error);
  }
}

// A tetrahedron as ASCII STL: facets wound outward, or all inside out; each
// stored normal as the winding has it, zero, or reversed.
std::string Tetrahedron(bool insideOut, const char* normals) {
  const double p[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const int faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
  std::string text = "solid t\n";
  for (const auto& f : faces) {
    const int order[3] = {f[0], insideOut ? f[2] : f[1], insideOut ? f[1] : f[2]};
    double u[3], v[3], n[3];
    for (int k = 0; k < 3; ++k) u[k] = p[order[1]][k] - p[order[0]][k], v[k] = p[order[2]][k] - p[order[0]][k];
    n[0] = u[1] * v[2] - u[2] * v[1], n[1] = u[2] * v[0] - u[0] * v[2], n[2] = u[0] * v[1] - u[1] * v[0];
    const double scale = std::string(normals) == "zero" ? 0 : std::string(normals) == "reversed" ? -1 : 1;
    text += "facet normal " + std::to_string(n[0] * scale) + " " + std::to_string(n[1] * scale) + " " +
            std::to_string(n[2] * scale) + "\nouter loop\n";
    for (int c : order)
      text +=
          "vertex " + std::to_string(p[c][0]) + " " + std::to_string(p[c][1]) + " " + std::to_string(p[c][2]) + "\n";
    text += "endloop\nendfacet\n";
  }
  return text + "endsolid t\n";
}

// STL normals that are zero or against the winding, and solids wound inside
// out, all end with every face wound outward and its normals pointing out.
TEST_F(MeshFileReaderTest, StlFacetsEndWoundAndLitFromOutside) {
  for (const auto& [insideOut, normals, note] : std::vector<std::tuple<bool, const char*, const char*>>{
           {false, "wound", nullptr},
           {false, "zero", "4 of 4 facets stored a normal that is zero or against their winding"},
           {false, "reversed", "4 of 4 facets stored a normal"},
           {true, "reversed", "wound inside out; turned"},
           {true, "zero", "wound inside out; turned"}}) {
    const std::string what = std::string(insideOut ? "inside out, " : "") + normals;
    CRhinoDoc doc;
    zem::ModelReport report;
    ASSERT_TRUE(zem::ReadModelFile(Write("t.stl", Tetrahedron(insideOut, normals)), doc, report)) << what;
    std::string notes;
    for (const auto& n : report.notes) notes += zem::ToUtf8(n) + "\n";
    EXPECT_EQ(!note, notes.empty()) << what << ": " << notes;
    EXPECT_TRUE(!note || notes.find(note) != std::string::npos) << what << ": " << notes;
    CRhinoObjectIterator it(doc, 7, 3);
    ON_SimpleArray<const ON_Mesh*> meshes;
    ASSERT_EQ(it.First()->GetMeshes(ON::render_mesh, meshes), 1) << what;
    const ON_Mesh& mesh = *meshes[0];
    for (int f = 0; f < mesh.FaceCount(); ++f) {
      const ON_MeshFace& face = mesh.m_F[f];
      const ON_3dPoint a = mesh.m_V[face.vi[0]], b = mesh.m_V[face.vi[1]], c = mesh.m_V[face.vi[2]];
      // Out of the tetrahedron: from its centroid to the face's.
      const ON_3dPoint middle = a + (1.0 / 3) * ((b - a) + (c - a));
      const ON_3dVector out = middle - ON_3dPoint(0.25, 0.25, 0.25);
      EXPECT_GT(ON_DotProduct(ON_CrossProduct(b - a, c - a), out), 0) << what << ", face " << f;
      for (int k = 0; k < 3; ++k) EXPECT_GT(ON_DotProduct(ON_3dVector(mesh.m_N[face.vi[k]]), out), 0) << what;
    }
  }
}

// The first texture file of the first object's material.
std::wstring TextureFile(const CRhinoDoc& doc) {
  CRhinoObjectIterator it(doc, 7, 3);
  const CRhinoObject* object = it.First();
  if (!object) return L"";
  const CRhinoMaterial& m = object->ObjectMaterial();
  const int t = m.FindTexture(nullptr, ON_Texture::bitmap_texture);
  return t < 0 ? L"" : std::wstring(m.m_textures[t].m_filename);
}

// Files that are no model, and models with nothing visible in them.
TEST_F(MeshFileReaderTest, FilesWithNothingVisibleAreRefused) {
  const char* const noGeometry = "no geometry found";
  for (const auto& [name, text, why] : std::vector<std::tuple<const char*, std::string, const char*>>{
           {"words.obj", "this is not a model\n", noGeometry},
           {"materials-only.obj", "mtllib none.mtl\nusemtl x\n", noGeometry},
           {"empty.dae",
            R"(<?xml version="1.0"?><COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
              <library_visual_scenes><visual_scene id="s"/></library_visual_scenes>
              <scene><instance_visual_scene url="#s"/></scene></COLLADA>)",
            noGeometry},
           {"junk.glb", "glTF garbage", nullptr},
           {"empty.stl", "", nullptr}}) {
    CRhinoDoc doc;
    zem::ModelReport report;
    EXPECT_FALSE(zem::ReadModelFile(Write(name, text), doc, report)) << name;
    EXPECT_FALSE(report.error.empty()) << name;
    EXPECT_TRUE(!why || zem::ToUtf8(report.error) == why) << name << ": " << zem::ToUtf8(report.error);
    EXPECT_EQ(doc.ObjectSlotCount(), 0) << name;
  }
  EXPECT_FALSE(zem::OpenModelFile(Write("junk.glb", "glTF garbage"), report));
  EXPECT_EQ(RhinoApp().ActiveDoc(), nullptr) << "a model that cannot be read opens no document";
}

TEST_F(MeshFileReaderTest, ColladaMeshesAreReadBesideCamerasAndLights) {
  // A triangle beside a camera and a directional light.
  const std::wstring dae = zem::FromUtf8((fs::path(ZEM_TEST_DATA_DIR) / "models" / "camera-light-mesh.dae").string());
  ASSERT_TRUE(Read(dae));
  ASSERT_EQ(Objects(doc).size(), 1u);
  bool noted = false;
  for (const auto& note : report.notes) noted |= note.find(L"1 camera(s) and 1 light(s)") != std::wstring::npos;
  EXPECT_TRUE(noted);
}

TEST_F(MeshFileReaderTest, TexturesNamedWhereTheyWereElsewhereAreFoundBesideTheModel) {
  CRhinoDib picture(4, 4, 24);
  struct Case {
    const char* mapLine;  // as another machine wrote it
    const char* where;    // where the picture is here, under the model's folder
  } cases[] = {{"map_Kd D:\\projects\\house\\Wood.JPG", "textures/wood.jpg"},
               {"map_Kd /home/ann/maps/stone.png", "maps/Stone.png"},
               {"map_Kd C:\\tex\\brick.png", "brick.png"}};
  for (const Case& c : cases) {
    fs::remove_all(folder);
    fs::create_directories(folder / fs::path(c.where).parent_path());
    ASSERT_TRUE(picture.WriteToFile(zem::FromUtf8((folder / c.where).string()).c_str()));
    Write("quad.mtl", std::string("newmtl Painted\n") + c.mapLine + "\n");
    CRhinoDoc doc;
    zem::ModelReport report;
    ASSERT_TRUE(zem::ReadModelFile(Write("quad.obj", kQuadObj), doc, report)) << zem::ToUtf8(report.error);
    EXPECT_EQ(fs::path(TextureFile(doc)), (folder / c.where).lexically_normal()) << c.mapLine;
    ASSERT_EQ(report.notes.size(), 1u) << c.mapLine;
    EXPECT_NE(zem::ToUtf8(report.notes[0]).find((folder / c.where).lexically_normal().string()), std::string::npos)
        << "the note says where it was found: " << zem::ToUtf8(report.notes[0]);
  }
  // Nowhere to be found: the note says where it was looked for.
  fs::remove_all(folder / "brick.png");
  ASSERT_TRUE(Read(Write("quad.obj", kQuadObj)));
  ASSERT_EQ(report.notes.size(), 1u);
  EXPECT_NE(zem::ToUtf8(report.notes[0]).find(folder.string()), std::string::npos) << zem::ToUtf8(report.notes[0]);
}

TEST_F(MeshFileReaderTest, EmbeddedPicturesOfSameNamedModelsStayApartAndGoWithTheirDocuments) {
  // Two models of one name, a triangle each with a picture inside (red, blue).
  const fs::path models = fs::path(ZEM_TEST_DATA_DIR) / "same-name";
  auto redDoc = std::make_unique<CRhinoDoc>();
  auto blueDoc = std::make_unique<CRhinoDoc>();
  ASSERT_TRUE(zem::ReadModelFile(zem::FromUtf8((models / "red" / "model.gltf").string()), *redDoc, report))
      << zem::ToUtf8(report.error);
  ASSERT_TRUE(zem::ReadModelFile(zem::FromUtf8((models / "blue" / "model.gltf").string()), *blueDoc, report))
      << zem::ToUtf8(report.error);
  const fs::path redFile = zem::ToUtf8(TextureFile(*redDoc)), blueFile = zem::ToUtf8(TextureFile(*blueDoc));
  ASSERT_FALSE(redFile.empty());
  ASSERT_NE(redFile, blueFile);
  for (const auto& [file, expectedRed] : {std::pair{redFile, 255}, std::pair{blueFile, 0}}) {
    CRhinoDib dib(1, 1, 24);
    ASSERT_TRUE(dib.ReadFromFile(zem::FromUtf8(file.string()).c_str())) << file;
    int r = -1, g = -1, b = -1;
    ASSERT_TRUE(dib.GetPixel(0, 0, r, g, b));
    EXPECT_EQ(r, expectedRed) << file;
    EXPECT_EQ(b, 255 - expectedRed) << file;
  }
  redDoc.reset();
  EXPECT_FALSE(fs::exists(redFile.parent_path())) << "the document's picture folder goes with it";
  EXPECT_TRUE(fs::exists(blueFile));
}

}  // namespace
