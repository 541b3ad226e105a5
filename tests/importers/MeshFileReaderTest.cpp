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

TEST_F(MeshFileReaderTest, AsciiStlIsReadWithoutTurningIt) {
  const std::wstring stl = Write("tri.stl",
                                 "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 3\n"
                                 "endloop\nendfacet\nendsolid t\n");
  ASSERT_TRUE(Read(stl));
  EXPECT_FLOAT_EQ(static_cast<float>(doc.BoundingBox().m_max.z), 3.0f);
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
