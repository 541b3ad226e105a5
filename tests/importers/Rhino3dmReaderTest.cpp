#include "importers/Rhino3dmReader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "importers/ModelFile.h"
#include "importers/cad/CadReader.h"
#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoPointCloudObject.h"
#include "standin/host/CRhinoTextDot.h"
#include "standin/host/CRhinoView.h"
#include "standin/platform/TextEncoding.h"
#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(ZEM_TEST_DATA_DIR) / "3dm";

// What the page is given of one object: its kind, name, colour, whether it
// is drawn, its render-mesh triangles and the box of their corners, its
// wire curves.
struct Seen {
  ON::object_type type = ON::unknown_object_type;
  std::string name;
  ON_Color colour;
  bool visible = true;
  int triangles = 0;
  ON_BoundingBox box;
  int wires = 0;
  const CRhinoObject* object = nullptr;
};

std::vector<Seen> Objects(const CRhinoDoc& doc) {
  std::vector<Seen> seen;
  CRhinoObjectIterator it(doc, CRhinoObjectIterator::all_objects, CRhinoObjectIterator::active_and_reference_objects);
  for (const CRhinoObject* object = it.First(); object; object = it.Next()) {
    Seen s;
    s.type = object->ObjectType();
    s.name = zem::ToUtf8(object->Attributes().m_name.Array());
    s.colour = object->ObjectDrawColor();
    s.visible = object->IsVisible();
    s.object = object;
    ON_SimpleArray<const ON_Mesh*> meshes;
    object->GetMeshes(ON::render_mesh, meshes);
    for (const ON_Mesh* mesh : meshes) {
      s.triangles += mesh->TriangleCount() + 2 * mesh->QuadCount();
      for (const ON_3fPoint& v : mesh->m_V) s.box.Set(ON_3dPoint(v.x, v.y, v.z), s.box.IsValid());
    }
    ON_SimpleArray<ON_Curve*> curves;
    s.wires = object->GetWireframeCurves(curves);
    for (ON_Curve* c : curves) delete c;
    seen.push_back(s);
  }
  return seen;
}

bool Read(const fs::path& file, CRhinoDoc& doc, zem::ModelReport& report) {
  return zem::ReadModelFile(zem::FromUtf8(file.string()), doc, report);
}

bool Near(const ON_3dPoint& a, const ON_3dPoint& b) { return (a - b).Length() < 1e-4; }

class Rhino3dmReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = zem::testing::TestFolder("zem-3dm");
    fs::create_directories(folder);
    // Trimmed faces go to the program's CAD child.
    saved = zem::cad::CadReadOptionsInUse();
    zem::cad::CadReadOptions options = saved;
    options.program = ZEM_CAD_READER_PROGRAM;
    zem::cad::SetCadReadOptions(options);
  }
  void TearDown() override {
    zem::cad::SetCadReadOptions(saved);
    fs::remove_all(folder);
  }
  zem::cad::CadReadOptions saved;
  fs::path folder;
};

TEST_F(Rhino3dmReaderTest, TexturedMeshKeepsItsCoordinatesAndMaterialWithTheTextureBesideTheModel) {
  CRhinoDoc doc;
  zem::ModelReport report;
  ASSERT_TRUE(Read(kData / "textured-mesh.3dm", doc, report)) << zem::ToUtf8(report.error);
  EXPECT_EQ(zem::ToUtf8(doc.Title().Array()), "textured-mesh");
  const auto objects = Objects(doc);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].name, "Tile <&>");
  EXPECT_EQ(objects[0].triangles, 2);
  ON_SimpleArray<const ON_Mesh*> meshes;
  objects[0].object->GetMeshes(ON::render_mesh, meshes);
  ASSERT_EQ(meshes.Count(), 1);
  EXPECT_TRUE(meshes[0]->HasTextureCoordinates());
  EXPECT_FLOAT_EQ(meshes[0]->m_T[2].x, 1.0f);
  const ON_Material& m = objects[0].object->ObjectMaterial();
  EXPECT_EQ(zem::ToUtf8(m.Name().Array()), "Checker");
  EXPECT_EQ(m.m_diffuse, ON_Color(230, 153, 51));
  EXPECT_NEAR(m.Transparency(), 0.25, 1e-6);
  EXPECT_NEAR(m.Shine(), 128, 1e-6);
  ASSERT_EQ(m.m_textures.Count(), 1);
  // Stored as C:\Users\author\Textures\checker.png; found beside the model.
  EXPECT_EQ(fs::path(zem::ToUtf8(m.m_textures[0].m_filename.Array())), (kData / "checker.png").lexically_normal());
}

TEST_F(Rhino3dmReaderTest, BrepsShowTheirCachedMeshOrTheHostsTessellationOfUntrimmedFaces) {
  CRhinoDoc doc;
  zem::ModelReport report;
  ASSERT_TRUE(Read(kData / "breps.3dm", doc, report)) << zem::ToUtf8(report.error);
  std::map<std::string, Seen> byName;
  for (const Seen& s : Objects(doc)) byName[s.name] = s;
  ASSERT_EQ(byName.size(), 5u);
  // The cached render mesh is a square at z = 5, not the surface below it.
  const Seen& cached = byName["cached"];
  EXPECT_EQ(cached.type, ON::brep_object);
  EXPECT_EQ(cached.triangles, 2);
  EXPECT_NEAR(cached.box.m_min.z, 5, 1e-6);
  EXPECT_EQ(cached.wires, 4);
  // The untrimmed patch is tessellated here: many triangles over its 4 x 4
  // square, bulging up to below 2.
  const Seen& untrimmed = byName["untrimmed"];
  EXPECT_GT(untrimmed.triangles, 16);
  EXPECT_NEAR(untrimmed.box.m_min.x, 10, 1e-4);
  EXPECT_NEAR(untrimmed.box.m_max.x, 14, 1e-4);
  EXPECT_GT(untrimmed.box.m_max.z, 0.5);
  EXPECT_LT(untrimmed.box.m_max.z, 2);
  EXPECT_EQ(untrimmed.wires, 4);
  // The open extrusion: a tube of radius 2 around (25, 2), 6 high.
  const Seen& tube = byName["tube"];
  EXPECT_GT(tube.triangles, 16);
  EXPECT_NEAR(tube.box.m_min.x, 23, 0.05);
  EXPECT_NEAR(tube.box.m_max.y, 4, 0.05);
  EXPECT_NEAR(tube.box.m_max.z, 6, 1e-4);
  for (const Seen& s : {cached, untrimmed, tube}) EXPECT_EQ(s.colour, ON_Color(200, 0, 0)) << s.name;

  // Trimmed faces without render meshes, meshed in Open CASCADE: the can's
  // two caps (discs of radius 2 at z = 0 and 6) and a disc cut from a plane,
  // every corner within its circle.
  auto corners = [](const Seen& s) {
    std::vector<ON_3fPoint> points;
    ON_SimpleArray<const ON_Mesh*> meshes;
    s.object->GetMeshes(ON::render_mesh, meshes);
    for (const ON_Mesh* mesh : meshes)
      for (const ON_MeshFace& f : mesh->m_F)
        for (int k = 0; k < 3; ++k) points.push_back(mesh->m_V[f.vi[k]]);
    return points;
  };
  ASSERT_EQ(byName.count("can"), 1u);
  int top = 0, bottom = 0;
  for (const ON_3fPoint& p : corners(byName["can"])) {
    EXPECT_LE(std::hypot(p.x - 35, p.y - 2), 2.001);
    top += std::fabs(p.z - 6) < 1e-4;
    bottom += std::fabs(p.z) < 1e-4;
  }
  EXPECT_GT(top, 3 * 8) << "the top cap";
  EXPECT_GT(bottom, 3 * 8) << "the bottom cap";
  ASSERT_EQ(byName.count("disc"), 1u);
  const auto disc = corners(byName["disc"]);
  EXPECT_GT(disc.size(), 3u * 8);
  for (const ON_3fPoint& p : disc) EXPECT_LE(std::hypot(p.x - 45, p.y - 2), 2.001);
  EXPECT_NEAR(byName["disc"].box.m_min.x, 43, 0.01);
  EXPECT_EQ(report.notes.size(), 0u);
}

TEST_F(Rhino3dmReaderTest, CurvesOfEveryKindDotsAndPointsArrive) {
  CRhinoDoc doc;
  zem::ModelReport report;
  ASSERT_TRUE(Read(kData / "curves.3dm", doc, report)) << zem::ToUtf8(report.error);
  std::map<std::string, const CRhinoObject*> byName;
  int points = 0, clouds = 0;
  for (const Seen& s : Objects(doc)) {
    if (!s.name.empty()) byName[s.name] = s.object;
    points += s.type == ON::point_object;
    if (const auto* cloud = dynamic_cast<const CRhinoPointCloudObject*>(s.object)) clouds += cloud->Points().Count();
  }
  EXPECT_EQ(doc.ModelUnits(), ON::LengthUnitSystem::Inches);
  EXPECT_EQ(points, 1);
  EXPECT_EQ(clouds, 3);
  auto curve = [&](const std::string& name) -> const ON_Curve* {
    const auto* object = dynamic_cast<const CRhinoCurveObject*>(byName[name]);
    return object ? object->Curve() : nullptr;
  };
  for (const char* name : {"line", "polyline", "arc", "circle", "nurbs", "polycurve"}) {
    ASSERT_NE(curve(name), nullptr) << name;
  }
  EXPECT_TRUE(Near(curve("line")->PointAtEnd(), ON_3dPoint(10, 0, 0)));
  EXPECT_TRUE(Near(curve("polyline")->PointAtEnd(), ON_3dPoint(9, 4, 0)));
  // The arc and the circle keep their radius along their whole length.
  for (const char* name : {"arc", "circle"}) {
    const ON_Curve* c = curve(name);
    const ON_3dPoint centre = std::string(name) == "arc" ? ON_3dPoint(5, 8, 0) : ON_3dPoint(15, 8, 0);
    for (int k = 0; k <= 8; ++k) {
      const double t = c->Domain()[0] + (c->Domain()[1] - c->Domain()[0]) * k / 8;
      EXPECT_NEAR((c->PointAt(t) - centre).Length(), 2, 1e-9) << name << " " << k;
    }
  }
  EXPECT_TRUE(Near(curve("arc")->PointAtEnd(), ON_3dPoint(3, 8, 0)));
  EXPECT_TRUE(Near(curve("polycurve")->PointAtStart(), ON_3dPoint(11, 18, 0)));
  EXPECT_TRUE(Near(curve("polycurve")->PointAtEnd(), ON_3dPoint(5, 18, 0)));
  const auto* dot = dynamic_cast<const CRhinoTextDot*>(byName["dot"]);
  ASSERT_NE(dot, nullptr);
  EXPECT_EQ(zem::ToUtf8(dot->TextString()), "Dot <b>&amp;</b>");
  EXPECT_TRUE(Near(dot->Point(), ON_3dPoint(10, 0, 0)));
}

TEST_F(Rhino3dmReaderTest, NestedBlocksAreFlattenedInPlaceWithColoursByParentLayersAndNamedViews) {
  CRhinoDoc doc;
  zem::ModelReport report;
  ASSERT_TRUE(Read(kData / "blocks.3dm", doc, report)) << zem::ToUtf8(report.error);
  EXPECT_EQ(doc.ModelUnits(), ON::LengthUnitSystem::Millimeters);
  std::vector<Seen> squares, lines, hidden;
  for (const Seen& s : Objects(doc)) {
    if (!s.visible) {
      hidden.push_back(s);
    } else if (s.type == ON::mesh_object) {
      squares.push_back(s);
    } else {
      lines.push_back(s);
    }
  }
  // Pair A at the origin (red, by parent through two levels); pair B moved
  // 10 along y and scaled by 2 (the colour of its layer).
  ASSERT_EQ(squares.size(), 4u);
  std::map<std::pair<int, int>, ON_Color> at;
  for (const Seen& s : squares) at[{int(std::lround(s.box.m_min.x)), int(std::lround(s.box.m_min.y))}] = s.colour;
  const std::map<std::pair<int, int>, ON_Color> expected{{{0, 0}, ON_Color(255, 0, 0)},
                                                         {{2, 0}, ON_Color(255, 0, 0)},
                                                         {{0, 10}, ON_Color(0, 128, 0)},
                                                         {{4, 10}, ON_Color(0, 128, 0)}};
  EXPECT_EQ(at, expected);
  for (const Seen& s : squares) EXPECT_NEAR(s.box.m_max.x - s.box.m_min.x, s.box.m_min.y > 5 ? 2 : 1, 1e-6);
  // The lines keep their own colour.
  ASSERT_EQ(lines.size(), 4u);
  for (const Seen& s : lines) EXPECT_EQ(s.colour, ON_Color(255, 255, 0));
  // On the hidden layer and under it: there, but not drawn.
  ASSERT_EQ(hidden.size(), 2u);
  const CRhinoLayerTable& layers = doc.m_layer_table;
  ASSERT_EQ(layers.LayerCount(), 3);
  EXPECT_EQ(zem::ToUtf8(layers[1].LayerName().Array()), "Hidden");
  EXPECT_FALSE(layers[1].IsVisible());
  EXPECT_EQ(layers[2].m_parent_index, 1);
  // The named views, with their cameras.
  const CRhinoView* close = doc.FindView(L"Close");
  ASSERT_NE(close, nullptr);
  ASSERT_NE(doc.FindView(L"Overview"), nullptr);
  EXPECT_TRUE(Near(close->MainViewport().VP().CameraLocation(), ON_3dPoint(2, -3, 2)));
}

TEST_F(Rhino3dmReaderTest, FilesThatCannotBeShownFailWithAReasonAndLeaveTheDocumentEmpty) {
  const std::string whole = zem::testing::ReadFileBytes(kData / "blocks.3dm");
  std::ofstream(folder / "truncated.3dm", std::ios::binary) << whole.substr(0, whole.size() / 2);
  std::ofstream(folder / "text.3dm") << "solid cube\nendsolid\n";
  const std::map<fs::path, std::string> cases{{folder / "truncated.3dm", "truncated or damaged"},
                                              {folder / "text.3dm", "not a .3dm file"},
                                              {kData / "nothing-to-show.3dm", "nothing the page can show"}};
  for (const auto& [file, reason] : cases) {
    CRhinoDoc doc;
    zem::ModelReport report;
    EXPECT_FALSE(Read(file, doc, report)) << file;
    EXPECT_NE(zem::ToUtf8(report.error).find(reason), std::string::npos) << zem::ToUtf8(report.error);
    CRhinoObjectIterator it(doc, CRhinoObjectIterator::all_objects);
    EXPECT_EQ(it.First(), nullptr);
  }
}

TEST_F(Rhino3dmReaderTest, WithoutNodeTheErrorSaysHowToInstallIt) {
  const char* before = std::getenv("PATH");
  const std::string path = before ? before : "";
  ::setenv("PATH", folder.c_str(), 1);
  CRhinoDoc doc;
  zem::ModelReport report;
  const bool read = Read(kData / "curves.3dm", doc, report);
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_FALSE(read);
  EXPECT_NE(zem::ToUtf8(report.error).find("tools/install-deps"), std::string::npos) << zem::ToUtf8(report.error);
}

// The hand-off as the script writes it, with what only it carries.
TEST_F(Rhino3dmReaderTest, HandoffUnpacksEmbeddedPicturesPrivatelyAndLeavesOutTrimmedFacesWithANote) {
  // "iVBORw0KGgo=" is the first eight bytes of any PNG file.
  const std::string handoff = R"({"format": "zem-document", "title": "t",
    "materials": [{"name": "m", "textures": [{"file": "/nowhere/pic.png"}]}],
    "embeddedFiles": {"/nowhere/pic.png": "iVBORw0KGgo="},
    "readerNotes": ["left out, as the page does not show them: 1 Hatch"],
    "objects": [
      {"type": "brep", "name": "part", "id": "1234", "material": 0, "faces": [
        {"mesh": {"vertices": [[0,0,0],[1,0,0],[0,1,0]], "faces": [[0,1,2]]}},
        {"surface": {"degree": [1,1], "points": [[[0,0,0],[0,1,0]],[[1,0,0],[1,1,0]]]},
         "loops": [[{"kind": "line", "from": [0,0,0], "to": [1,0,0]}]], "reversed": false}]},
      {"type": "brep", "id": "5678", "faces": [
        {"surface": {"degree": [1,1], "points": [[[0,0,0],[0,1,0]],[[1,0,0],[1,1,0]]]}, "loops": []}]}]})";
  fs::path picture;
  {
    CRhinoDoc doc;
    zem::ModelReport report;
    ASSERT_TRUE(zem::Read3dmHandoff(handoff, folder / "model.3dm", doc, report)) << zem::ToUtf8(report.error);
    const auto objects = Objects(doc);
    ASSERT_EQ(objects.size(), 1u);  // the brep of trimmed faces alone is gone
    EXPECT_EQ(objects[0].triangles, 1);
    std::string notes;
    for (const auto& note : report.notes) notes += zem::ToUtf8(note) + "\n";
    EXPECT_NE(notes.find("1 Hatch"), std::string::npos) << notes;
    EXPECT_NE(notes.find("the object \"part\": 1 of 2 faces are trimmed"), std::string::npos) << notes;
    EXPECT_NE(notes.find("the object 5678: 1 of 1 faces"), std::string::npos) << notes;
    EXPECT_NE(notes.find("as STEP"), std::string::npos) << notes;
    picture = zem::ToUtf8(objects[0].object->ObjectMaterial().m_textures[0].m_filename.Array());
    EXPECT_EQ(zem::testing::ReadFileBytes(picture), std::string("\x89PNG\r\n\x1a\n"));
    struct stat info {};
    ASSERT_EQ(::stat(picture.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(picture.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
  }
  EXPECT_FALSE(fs::exists(picture.parent_path())) << "the private folder goes with the document";

  // An object the document cannot take is left out with a note; the rest
  // is read.
  {
    CRhinoDoc doc;
    zem::ModelReport report;
    const std::string oneBad = R"({"format": "zem-document", "objects": [
      {"type": "point", "name": "far", "point": [1e39, 0, 0]}, {"type": "point", "point": [1, 2, 3]}]})";
    ASSERT_TRUE(zem::Read3dmHandoff(oneBad, folder / "model.3dm", doc, report)) << zem::ToUtf8(report.error);
    EXPECT_EQ(Objects(doc).size(), 1u);
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_NE(zem::ToUtf8(report.notes[0]).find("the object \"far\" was left out: coordinate 1e+39 is beyond"),
              std::string::npos)
        << zem::ToUtf8(report.notes[0]);
  }

  for (const std::string bad : {"", "[1, 2]", "{\"format\": \"zem-document\", \"objects\": []}",
                                "{\"format\": \"zem-document\", \"objects\": [{\"type\": \"mesh\"}]}"}) {
    CRhinoDoc doc;
    zem::ModelReport report;
    EXPECT_FALSE(zem::Read3dmHandoff(bad, folder / "model.3dm", doc, report)) << bad;
    EXPECT_FALSE(report.error.empty()) << bad;
  }
}

// (A child stopped at its time limit is the CAD reader's test: both readers'
// children run under the same limits.)
TEST_F(Rhino3dmReaderTest, TheConverterStopsAtItsMemoryLimitWithAClearError) {
  // 60 MB: node starts, the WebAssembly module cannot have its memory.
  zem::cad::CadReadOptions small = zem::cad::CadReadOptionsInUse();
  small.memoryLimitMb = 60;
  zem::cad::SetCadReadOptions(small);
  CRhinoDoc doc;
  zem::ModelReport report;
  const bool read = Read(kData / "curves.3dm", doc, report);
  EXPECT_FALSE(read);
  EXPECT_NE(zem::ToUtf8(report.error).find("ran out of memory"), std::string::npos) << zem::ToUtf8(report.error);
  EXPECT_NE(zem::ToUtf8(report.error).find("limit 60 MB"), std::string::npos) << zem::ToUtf8(report.error);
}

}  // namespace
