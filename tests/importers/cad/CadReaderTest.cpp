// The CAD reader on the project's own STEP and IGES files (tests/data/cad,
// written by tools/make_cad_test_files.cpp): what reaches the host document,
// and what a broken or stuck reader child becomes.
#include "standin/host/CRhinoBrepObject.h"
#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMaterialTable.h"
#include "standin/host/CRhinoView.h"
#include "importers/cad/CadReader.h"
#include "importers/cad/CadScene.h"
#include "standin/platform/TextEncoding.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace zem::cad {
namespace {

namespace fs = std::filesystem;

struct Read {
  bool ok = false;
  ModelReport report;
  CRhinoDoc doc;
  std::string error() const { return ToUtf8(report.error); }
};

CadReadOptions Options() {
  CadReadOptions options;
  options.program = ZEM_CAD_READER_PROGRAM;
  return options;
}

void ReadInto(Read& r, const fs::path& file, const CadReadOptions& options = Options()) {
  r.ok = ReadCadFile(FromUtf8(file.string()), r.doc, r.report, options);
}

fs::path Data(const char* name) { return fs::path(ZEM_TEST_DATA_DIR) / "cad" / name; }

std::vector<const CRhinoObject*> Objects(const CRhinoDoc& doc) {
  std::vector<const CRhinoObject*> objects;
  for (int i = 0; i < doc.ObjectSlotCount(); ++i) objects.push_back(doc.ObjectSlot(i));
  return objects;
}

struct Look {
  int triangles = 0, edges = 0;
  ON_BoundingBox box;
};

Look LookAt(const CRhinoObject& object) {
  Look look;
  ON_SimpleArray<const ON_Mesh*> meshes;
  object.GetMeshes(ON::render_mesh, meshes);
  for (const ON_Mesh* mesh : meshes) look.triangles += mesh->TriangleCount();
  ON_SimpleArray<ON_Curve*> curves;
  look.edges = object.GetWireframeCurves(curves);
  for (ON_Curve* curve : curves) delete curve;
  look.box = object.BoundingBox();
  return look;
}

class CadReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = testing::TestFolder("zem-cad");
    fs::create_directories(folder / "tmp");
  }
  void TearDown() override { fs::remove_all(folder); }
  // A stand-in for the reader child: a script of the given body.
  std::string Script(const std::string& body) {
    const fs::path script = folder / "reader.sh";
    std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(script, fs::perms::owner_all);
    return script.string();
  }
  fs::path folder;
};

TEST_F(CadReaderTest, TurnsPartsInstancesAndColoursIntoObjectsMaterialsAndEdges) {
  {
    Read r;
    ReadInto(r, Data("box.step"));
    ASSERT_TRUE(r.ok) << r.error();
    const auto objects = Objects(r.doc);
    ASSERT_EQ(objects.size(), 1u);
    const Look look = LookAt(*objects[0]);
    EXPECT_EQ(objects[0]->ObjectType(), ON::brep_object);
    EXPECT_EQ(look.triangles, 12);
    EXPECT_EQ(look.edges, 12);
    EXPECT_NEAR(look.box.m_max.z - look.box.m_min.z, 30, 1e-4);
    EXPECT_EQ(ToUtf8(objects[0]->Attributes().m_name.c_str()), "Box");
    // No colour: the neutral grey with dark edges.
    EXPECT_EQ(objects[0]->ObjectMaterial().Diffuse(), ON_Color(190, 190, 190));
    EXPECT_EQ(objects[0]->ObjectDrawColor(), ON_Color(40, 40, 40));
    // Shown shaded in its colours with its edges.
    const auto& mode = *r.doc.FindView(L"Perspective")->DisplayPipeline()->DisplayAttrs();
    EXPECT_TRUE(mode.m_bUseObjectMaterial && mode.m_bShowSurfaceWires);
  }
  {
    // One part, two instances: each where its placement puts it, in its
    // own colour, one material per colour.
    Read r;
    ReadInto(r, Data("assembly.step"));
    ASSERT_TRUE(r.ok) << r.error();
    const auto objects = Objects(r.doc);
    ASSERT_EQ(objects.size(), 2u);
    std::map<double, ON_Color> colourAtX;
    for (const CRhinoObject* object : objects) {
      const Look look = LookAt(*object);
      EXPECT_EQ(look.edges, 12);
      colourAtX[std::round(look.box.m_min.x)] = object->ObjectMaterial().Diffuse();
      EXPECT_EQ(object->ObjectDrawColor(), object->ObjectMaterial().Diffuse());
    }
    EXPECT_EQ(colourAtX[0], ON_Color(255, 0, 0));
    EXPECT_EQ(colourAtX[16], ON_Color(0, 255, 0));  // turned a quarter about z, moved 20 along x
    EXPECT_NE(objects[0]->Attributes().m_name, objects[1]->Attributes().m_name);
    EXPECT_EQ(r.doc.m_material_table.MaterialCount(), 2);
  }
  {
    // Curved faces: edges without the seams, normals from the surface.
    Read r;
    ReadInto(r, Data("cylinder-hole.step"));
    ASSERT_TRUE(r.ok) << r.error();
    ASSERT_EQ(Objects(r.doc).size(), 1u);
    const CRhinoObject& bushing = *Objects(r.doc)[0];
    EXPECT_EQ(LookAt(bushing).edges, 4);
    EXPECT_EQ(bushing.ObjectMaterial().Diffuse(), ON_Color(0, 0, 255));
    Read coarse, fine;
    CadReadOptions options = Options();
    options.quality = MeshQuality::Coarse;
    ReadInto(coarse, Data("cylinder-hole.step"), options);
    options.quality = MeshQuality::Fine;
    ReadInto(fine, Data("cylinder-hole.step"), options);
    EXPECT_LT(LookAt(*Objects(coarse.doc)[0]).triangles, LookAt(bushing).triangles);
    EXPECT_LT(LookAt(bushing).triangles, LookAt(*Objects(fine.doc)[0]).triangles);
  }
}

TEST_F(CadReaderTest, TurnsAReversedFaceTheWayItFaces) {
  Read r;
  ReadInto(r, Data("reversed-face.step"));
  ASSERT_TRUE(r.ok) << r.error();
  ASSERT_EQ(Objects(r.doc).size(), 1u);
  ON_SimpleArray<const ON_Mesh*> meshes;
  Objects(r.doc)[0]->GetMeshes(ON::render_mesh, meshes);
  ASSERT_EQ(meshes.Count(), 1);
  const ON_Mesh& mesh = *meshes[0];
  ASSERT_GT(mesh.FaceCount(), 0);
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const ON_MeshFace& face = mesh.m_F[f];
    const ON_3fPoint a = mesh.m_V[face.vi[0]], b = mesh.m_V[face.vi[1]], c = mesh.m_V[face.vi[2]];
    const double windingZ = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    EXPECT_LT(windingZ, 0) << "face " << f;
    EXPECT_NEAR(mesh.m_N[face.vi[0]].z, -1, 1e-6);
  }
}

TEST_F(CadReaderTest, ReadsIgesSurfacesAndCurvesWithoutTheirNames) {
  Read surface, curves;
  ReadInto(surface, Data("trimmed.igs"));
  ReadInto(curves, Data("curves.igs"));
  ASSERT_TRUE(surface.ok) << surface.error();
  ASSERT_TRUE(curves.ok) << curves.error();
  ASSERT_EQ(Objects(surface.doc).size(), 1u);
  const CRhinoObject& lid = *Objects(surface.doc)[0];
  // The disc's circle and the four sides of its square hole.
  EXPECT_EQ(LookAt(lid).edges, 5);
  // IGES names are not read (the kernel's name reading has crashed on real
  // files): the part is named after the file, not "Lid".
  EXPECT_EQ(ToUtf8(lid.Attributes().m_name.c_str()), "trimmed 1");
  // A file of curves only becomes curves.
  const auto objects = Objects(curves.doc);
  ASSERT_EQ(objects.size(), 2u);
  for (const CRhinoObject* object : objects) EXPECT_EQ(object->ObjectType(), ON::curve_object);
}

TEST_F(CadReaderTest, AFailureEndsInOneErrorNamingWhatHappenedAndLeavesNothingBehind) {
  const std::string tmpPath = (folder / "tmp").string();
  testing::ScopedEnv tmp("TMPDIR", tmpPath.c_str());
  const fs::path model = folder / "part.step", tessellated = folder / "tessellated.stp";
  std::ofstream(model) << "ISO-10303-21;\nnot really\n";
  // An AP242 part with no shape, and one whose only shape is a tessellated
  // shell.
  const std::string part =
      "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('t','',(''),(''),'','','');\n"
      "FILE_SCHEMA(('AP242_MANAGED_MODEL_BASED_3D_ENGINEERING_MIM_LF { 1 0 10303 442 1 1 4 }'));\nENDSEC;\n"
      "DATA;\n#1=APPLICATION_CONTEXT('');\n#2=PRODUCT_CONTEXT('',#1,'mechanical');\n"
      "#3=PRODUCT('T','T','',(#2));\n#4=PRODUCT_DEFINITION_FORMATION('','',#3);\n"
      "#5=PRODUCT_DEFINITION_CONTEXT('part definition',#1,'design');\n#6=PRODUCT_DEFINITION('','',#4,#5);\n"
      "#7=PRODUCT_DEFINITION_SHAPE('','',#6);\n#8=CARTESIAN_POINT('',(0.,0.,0.));\n"
      "#9=AXIS2_PLACEMENT_3D('',#8,$,$);\n#10=(LENGTH_UNIT()NAMED_UNIT(*)SI_UNIT(.MILLI.,.METRE.));\n"
      "#11=(GEOMETRIC_REPRESENTATION_CONTEXT(3)GLOBAL_UNIT_ASSIGNED_CONTEXT((#10))REPRESENTATION_CONTEXT('',''));\n";
  const std::string end = "ENDSEC;\nEND-ISO-10303-21;\n";
  const fs::path empty = folder / "empty.stp";
  std::ofstream(empty) << part << end;
  std::ofstream(tessellated) << part
                             << "#12=COORDINATES_LIST('',3,((0.,0.,0.),(1.,0.,0.),(0.,1.,0.)));\n"
                                "#13=TRIANGULATED_FACE('',#12,0,(),$,(1,2,3),((1,2,3)));\n"
                                "#14=TESSELLATED_SHELL('',(#13),$);\n"
                                "#15=TESSELLATED_SHAPE_REPRESENTATION('',(#14,#9),#11);\n"
                                "#16=SHAPE_DEFINITION_REPRESENTATION(#7,#15);\n"
                             << end;
  struct Case {
    std::string script;  // empty: the real reader
    int seconds;
    std::string expected;
    fs::path file;
  } cases[] = {
      {"", 120, "not a STEP file the reader can read", model},
      {"", 120, "only tessellated geometry (AP242)", tessellated},
      {"", 120, "no geometry found", empty},
      {"kill -SEGV $$", 120, "the STEP reader crashed on this file (SIGSEGV", model},
      {"echo 'stage meshing' >&4; exec sleep 30", 1, "meshing took longer than 1 s; try --mesh-quality coarse", model},
      {"exit 0", 120, "hand-off is damaged", model},
  };
  for (const Case& c : cases) {
    CadReadOptions options = Options();
    if (!c.script.empty()) options.program = Script(c.script);
    options.timeLimitSeconds = c.seconds;
    Read r;
    ReadInto(r, c.file, options);
    EXPECT_FALSE(r.ok) << c.expected;
    EXPECT_NE(r.error().find(c.expected), std::string::npos) << r.error();
    EXPECT_EQ(r.doc.ObjectSlotCount(), 0);
    EXPECT_TRUE(fs::is_empty(folder / "tmp")) << c.expected;
  }
}

TEST_F(CadReaderTest, SceneDecodesWhatItEncodedAndRefusesDamagedData) {
  CadScene scene;
  scene.colours = {{255, 0, 0, 1}, {0, 0, 255, 0.5f}};
  scene.layers = {"Top"};
  CadPart& part = scene.parts.emplace_back();
  CadGroup& group = part.bodies.emplace_back().groups.emplace_back();
  group.colour = 1;
  group.mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  group.mesh.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
  group.mesh.triangles = {0, 1, 2};
  group.edges = {{0, 0, 0, 1, 0, 0}};
  part.curves = {{0, 0, 0, 5, 5, 5}};
  part.points = {1, 2, 3};
  CadInstance& instance = scene.instances.emplace_back();
  instance.layer = 0;
  instance.colour = 0;
  instance.name = "Pin";
  instance.transform[3] = 7;
  scene.notes = {"a note"};
  const std::string bytes = EncodeCadScene(scene);

  CadScene back;
  std::string error;
  ASSERT_TRUE(DecodeCadScene(bytes, back, error)) << error;
  EXPECT_EQ(EncodeCadScene(back), bytes);
  // Every cut of the data is refused, never read past its end.
  for (std::size_t n = 0; n < bytes.size(); ++n)
    EXPECT_FALSE(DecodeCadScene(std::string_view(bytes).substr(0, n), back, error)) << n;
  // An index out of range is refused.
  scene.parts[0].bodies[0].groups[0].mesh.triangles[2] = 3;
  EXPECT_FALSE(DecodeCadScene(EncodeCadScene(scene), back, error));
  EXPECT_NE(error.find("out of range"), std::string::npos) << error;
}

}  // namespace
}  // namespace zem::cad
