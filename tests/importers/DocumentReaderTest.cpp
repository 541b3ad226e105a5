#include "importers/DocumentReader.h"

#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoTextDot.h"
#include "importers/ModelFile.h"
#include "standin/platform/TextEncoding.h"
#include "tests/support/HostTestSupport.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using zem::ModelReport;
using zem::ReadDocumentText;

std::string Doc(const std::string& members) {
  return R"({"format": "zem-document", "version": 1)" + (members.empty() ? "" : ", " + members) + "}";
}

std::string MeshObject(const std::string& mesh) { return R"("objects": [{"type": "mesh", "mesh": )" + mesh + "}]"; }

struct Read {
  CRhinoDoc doc;
  ModelReport report;
  bool ok;
  explicit Read(const std::string& text) : ok(ReadDocumentText(text, L"", doc, report)) {}
  std::string Error() const { return std::string(report.error.begin(), report.error.end()); }
  bool Noted(const std::wstring& part) const {
    for (const std::wstring& note : report.notes) {
      if (note.find(part) != std::wstring::npos) return true;
    }
    return false;
  }
};

// Documents the reader refuses, and a part of the error that says why.
TEST(DocumentReaderTest, RefusesWhatIsNotASoundDocument) {
  const auto mesh = [](const std::string& rest) {
    return Doc(MeshObject(R"({"vertices": [[0,0,0],[1,0,0],[0,1,0]], )" + rest + "}"));
  };
  const std::pair<std::string, std::string> cases[] = {
      {R"({"asset": {"version": "2.0"}})", "not a zem document"},
      {"{\n  \"format\": \"zem-document\",\n  \"title\": oops\n}", "malformed JSON at line 3, column"},
      {mesh(R"("faces": [[0,1,2],[0,1,3]])"),
       "objects[0].mesh.faces[1]: vertex index out of range (the mesh has 3 vertices)"},
      {mesh(R"("faces": [[0,1,-1]])"), "objects[0].mesh.faces[0]"},
      {mesh(R"("faces": [[0,1,1.5]])"), "objects[0].mesh.faces[0]"},
      {mesh(R"("faces": [[0,1]])"), "objects[0].mesh.faces[0]"},
      {Doc(MeshObject(R"({"vertices": [[0,0,0],[1e999,0,0],[0,1,0]], "faces": [[0,1,2]]})")),
       "number overflow parsing '1e999'"},
      {Doc(R"("objects": [{"type": "point", "point": [0,0,0], "layer": 1}])"), "objects[0]"},
      {Doc(R"("objects": [{"type": "point", "point": [0,0,0], "material": 0}])"), "objects[0]"},
      {Doc(R"("views": [{"name": "P", "displayMode": "Cartoon"}])"), "Cartoon"},
      {Doc(R"("activeView": "Nowhere")"), "activeView"},
      {Doc(R"("objects": [{"type": "curve", "curve": {"kind": "circle", "center": [0,0,0], "radius": 0}}])"),
       "objects[0]"},
      {Doc(R"("objects": [{"type": "curve", "curve": {"kind": "line", "from": [1,1,1], "to": [1,1,1]}}])"),
       "objects[0]"},
      {Doc(R"("objects": [{"type": "curve", "curve": {"kind": "nurbs", "degree": 2,
           "points": [[0,0,0],[1,1,0],[2,0,0]], "knots": [0, 1, 0, 1]}}])"),
       "knots"},
  };
  for (const auto& [text, why] : cases) {
    Read r(text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_NE(r.Error().find(why), std::string::npos) << why << " / " << r.Error();
    EXPECT_EQ(r.doc.ObjectSlotCount(), 0);
  }
}

// Every coordinate ends up as a single-precision number on the page: points
// of any kind beyond that range are refused, naming where and what.
TEST(DocumentReaderTest, CoordinatesBeyondSinglePrecisionAreRefusedWherever) {
  const std::pair<std::string, std::string> cases[] = {
      {R"({"type": "surface", "surface": {"degree": [1,1], "points": [[[0,0,0],[0,1,-3e70]],[[1,0,0],[1,1,0]]]}})",
       "objects[0].surface.points[0][1][2]"},
      {R"({"type": "point", "point": [4e38,0,0]})", "objects[0].point[0]"},
      {R"({"type": "curve", "curve": {"kind": "circle", "center": [0,0,0], "radius": 1e300}})",
       "objects[0].curve.radius"},
      {R"({"type": "curve", "curve": {"kind": "line", "from": [0,0,0], "to": [0,1e40,0]}})", "objects[0].curve.to[1]"},
  };
  for (const auto& [object, place] : cases) {
    Read r(Doc(R"("objects": [)" + object + "]"));
    EXPECT_FALSE(r.ok) << object;
    EXPECT_EQ(r.Error().rfind(place + ": coordinate ", 0), 0u) << r.Error();
    EXPECT_NE(r.Error().find("e+"), std::string::npos) << "names the value: " << r.Error();
    EXPECT_EQ(r.doc.ObjectSlotCount(), 0);
  }
  EXPECT_TRUE(Read(Doc(R"("objects": [{"type": "point", "point": [3.4e38,-3.4e38,0]}])")).ok)
      << "the largest single-precision values still fit";
}

TEST(DocumentReaderTest, AFailedReadLeavesTheDocumentAsItWas) {
  CRhinoDoc doc;
  zem::testing::AddMesh(doc);
  ModelReport report;
  EXPECT_FALSE(ReadDocumentText(Doc(R"("title": "X", "objects": [{"type": "mesh"}])"), L"", doc, report));
  EXPECT_EQ(report.error, L"objects[0]: \"mesh\" is missing");
  EXPECT_EQ(doc.ObjectSlotCount(), 1);
  EXPECT_EQ(doc.Title(), L"Untitled");
}

// What the reader mends or leaves out is noted, and the rest is read.
TEST(DocumentReaderTest, WhatIsMendedOrLeftOutIsNotedAndTheRestRead) {
  Read r(Doc(R"("colour": "#ffffff", "objects": [{"type": "mesh", "size": 3, "mesh": {"vertices":
      [[0,0,0],[1,0,0],[0,1,0]], "normals": [[0,0,1]], "faces": [[0,1,2]]}},
      {"type": "textDot", "point": [0,0,0], "text": "before\u0000after"}])"));
  ASSERT_TRUE(r.ok) << r.Error();
  EXPECT_TRUE(r.Noted(L"unknown key \"colour\" ignored"));
  EXPECT_TRUE(r.Noted(L"objects[0]: unknown key \"size\" ignored"));
  EXPECT_TRUE(r.Noted(L"objects[0].mesh.normals: 1 normals for 3 vertices: normals computed"));
  EXPECT_TRUE(r.Noted(L"objects[1].text: 1 NUL character(s) in the text left out"));
  CRhinoObjectIterator it(r.doc, 7, 3);
  const auto* mesh = static_cast<const CRhinoMeshObject*>(it.First());
  ASSERT_TRUE(mesh->Mesh()->HasVertexNormals());
  EXPECT_FLOAT_EQ(mesh->Mesh()->m_N[2].z, 1.0f);
  const auto* dot = dynamic_cast<const CRhinoTextDot*>(it.Next());
  ASSERT_NE(dot, nullptr);
  EXPECT_STREQ(dot->TextString(), L"beforeafter");
}

// A document of every kind of content, kept under tests/data.
TEST(DocumentReaderTest, ReadsEverythingADocumentCanHold) {
  Read r(zem::testing::ReadFileBytes(std::filesystem::path(ZEM_TEST_DATA_DIR) / "models" / "everything.json"));
  ASSERT_TRUE(r.ok) << r.Error();
  const CRhinoDoc& doc = r.doc;
  EXPECT_EQ(doc.Title(), L"Bracket");
  EXPECT_EQ(doc.Properties().Notes().m_notes, L"Line one\nLine two");
  EXPECT_EQ(doc.Properties().RevisionHistory().m_sCreatedBy, L"Ann");
  ASSERT_NE(doc.ViewportBackgroundColor(), nullptr);
  EXPECT_EQ(*doc.ViewportBackgroundColor(), ON_Color(10, 20, 30));

  ASSERT_EQ(doc.m_material_table.MaterialCount(), 1);
  const CRhinoMaterial& steel = doc.m_material_table[0];
  EXPECT_EQ(steel.Diffuse(), ON_Color(0x80, 0x90, 0xa0));
  EXPECT_DOUBLE_EQ(steel.Shine(), 127.5);
  EXPECT_DOUBLE_EQ(steel.m_transparency, 0.25);
  ASSERT_EQ(steel.m_textures.Count(), 1);
  EXPECT_FALSE(steel.m_textures[0].m_bOn);
  EXPECT_EQ(steel.m_textures[0].m_mode, ON_Texture::decal_texture);

  CRhinoObjectIterator it(doc, 7, 3);
  const CRhinoObject* surface = it.First();
  ASSERT_EQ(surface->ObjectType(), ON::brep_object);
  ON_SimpleArray<const ON_Mesh*> meshes;
  EXPECT_EQ(surface->GetMeshes(ON::render_mesh, meshes), 1);
  EXPECT_EQ(surface->ObjectMaterial().MaterialIndex(), 0);
  const CRhinoObject* unmeshed = it.Next();
  EXPECT_EQ(unmeshed->GetMeshes(ON::render_mesh, meshes), 0) << "a brep without render meshes";
  const CRhinoObject* arc = it.Next();
  EXPECT_FALSE(arc->IsVisible()) << "on a hidden layer";
  EXPECT_EQ(arc->ObjectDrawColor(), ON_Color(255, 0, 0));
  const auto* dot = dynamic_cast<const CRhinoTextDot*>(it.Next());
  ASSERT_NE(dot, nullptr);
  EXPECT_STREQ(dot->TextString(), L"Ünïcode");
  EXPECT_TRUE(dot->IsLocked());
  const CRhinoObject* cloud = it.Next();
  EXPECT_TRUE(cloud->IsHidden());
  EXPECT_TRUE(cloud->IsReference());

  ASSERT_EQ(doc.ViewCount(), 2);
  EXPECT_EQ(doc.InitialViewIndex(), 1);
  const CRhinoView* plan = doc.FindView(L"Plan");
  const CDisplayPipelineAttributes* mine = plan->DisplayPipeline()->DisplayAttrs();
  EXPECT_EQ(mine->m_szEnglishName, L"Mine");
  EXPECT_FALSE(mine->m_bShadingOn || mine->m_bShowCurves);
  EXPECT_EQ(mine->BackgroundFillMode(), CDisplayPipelineAttributes::FBFM_GRADIENT_2_COLOR);
  EXPECT_EQ(mine->m_GradBotLeft, ON_Color(255, 255, 255));
  EXPECT_TRUE(plan->Viewport().VP().IsParallelProjection());
  const ON_Viewport& eye = doc.FindView(L"Eye")->Viewport().VP();
  EXPECT_EQ(eye.CameraLocation(), ON_3dPoint(10, -10, 10));
  EXPECT_EQ(eye.TargetPoint(), ON_3dPoint(0, 0, 0));
  EXPECT_NEAR(eye.Camera35mmLensLength(), 35, 1e-9);
  int l, rr, b, t;
  eye.GetScreenPort(&l, &rr, &b, &t);
  EXPECT_EQ(rr - l, 640);
}

// Seeds named "refused-..." are inputs the reader once let through and
// must refuse; the others are valid documents.
TEST(DocumentReaderTest, EveryFuzzSeedIsReadOrRefusedAsItsNameSays) {
  const std::filesystem::path folder = std::filesystem::path(ZEM_TEST_DATA_DIR) / "document-corpus";
  int read = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    CRhinoDoc doc;
    zem::ModelReport report;
    const bool refused = entry.path().filename().string().starts_with("refused-");
    EXPECT_EQ(zem::ReadModelFile(zem::FromUtf8(entry.path().string()), doc, report), !refused)
        << entry.path() << ": " << zem::ToUtf8(report.error);
    if (refused) {
      EXPECT_FALSE(report.error.empty()) << entry.path();
      EXPECT_EQ(doc.ObjectSlotCount(), 0) << entry.path();
      continue;
    }
    EXPECT_TRUE(report.notes.empty()) << entry.path() << ": " << zem::ToUtf8(report.notes.front());
    ++read;
  }
  EXPECT_GE(read, 4);
}

}  // namespace
