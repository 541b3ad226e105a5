// The data functions and dot labels of one export of a small scene against
// a golden copy:
// a textured quad, a textured triangle without texture coordinates (zeros
// in their place), a triangle in a material whose texture the viewer
// ignores, an unused dull material (black specular), mesh wires and a line,
// two text dots, a two-colour gradient and a set camera.
// The rest of the page is the page writer's (its own golden page); picture
// texts are masked.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <set>

#include "tests/support/CaptureTestSupport.h"
#include "tests/support/Golden.h"
#include "capture/ExportDriver.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDib.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/CRhinoTextDot.h"
#include "standin/host/CRhinoView.h"
#include "standin/host/ON_LineCurve.h"
#include "standin/platform/AnswerQueue.h"

namespace zem {
namespace {

class ScenePage : public zem::testing::TempFolderTest {
 protected:
  void TearDown() override {
    zem::AnswerQueue::Instance().Clear();
    RhinoApp().CloseDocument();
    TempFolderTest::TearDown();
  }
  template <typename Object>
  void Add(Object* object, int material, ON_Color colour) {
    ON_3dmObjectAttributes attributes = object->Attributes();
    attributes.m_material_index = material;
    attributes.SetMaterialSource(ON_3dmObjectAttributes::material_from_object);
    attributes.SetColorSource(ON_3dmObjectAttributes::color_from_object);
    attributes.m_color = colour;
    object->ModifyAttributes(attributes);
    RhinoApp().ActiveDoc()->AddObject(object);
  }
};

ON_Mesh Mesh(std::initializer_list<ON_3dPoint> corners, bool texCoords) {
  ON_Mesh mesh(1, static_cast<int>(corners.size()), false, false);
  int i = 0;
  for (const auto& p : corners) mesh.SetVertex(i++, p);
  if (corners.size() == 4)
    mesh.SetQuad(0, 0, 1, 2, 3);
  else
    mesh.SetTriangle(0, 0, 1, 2);
  mesh.ComputeVertexNormals();
  if (texCoords)
    for (int k = 0; k < mesh.VertexCount(); ++k) mesh.m_T.Append(ON_2fPoint(0.25f * k, 1.0f - 0.25f * k));
  return mesh;
}

// The data functions and the dot labels of the page. The buffer numbers
// count on through the process, so they are checked for being distinct
// within each function and then masked.
std::string DataFunctions(const std::string& page) {
  const auto start = page.find("function initVB(");
  const auto back = page.find("function initBack(");
  const auto end = page.find("};", back);
  const auto dots = page.find("<div id=\"dot");
  EXPECT_TRUE(start < back && end != std::string::npos && dots != std::string::npos);
  if (!(start < back && end != std::string::npos && dots != std::string::npos)) return {};
  const std::string functions =
      page.substr(start, end + 2 - start) + "\n" + page.substr(dots, page.find("<div id=\"STShadow\">") - dots);
  static const std::regex buffer("function |var (v\\d+)=");
  std::set<std::string> names;  // within one function
  for (std::sregex_iterator it(functions.begin(), functions.end(), buffer), last; it != last; ++it) {
    if (!(*it)[1].matched)
      names.clear();
    else
      EXPECT_TRUE(names.insert((*it)[1]).second) << "buffer " << (*it)[1] << " is declared twice";
  }
  static const std::regex number("\\b([vbt])\\d+\\b");
  return zem::testing::MaskPictures(std::regex_replace(functions, number, "$1#"));
}

TEST_F(ScenePage, DataFunctionsMatchTheGoldenCopy) {
  CRhinoDoc& doc = RhinoApp().NewDocument();
  CRhinoView* view = doc.CreateView(L"Perspective");
  RhinoApp().SetActiveView(view);
  view->Viewport().VP().SetCamera(ON_3dPoint(3, -20, 4), ON_3dPoint(0.5, 0.5, 0), ON_3dVector(0, 0, 1));
  CDisplayPipelineAttributes& display = *view->DisplayPipeline()->DisplayAttrs();
  display.m_bUseObjectMaterial = true;
  display.m_bShowMeshWires = true;
  display.SetBackgroundFillMode(CDisplayPipelineAttributes::FBFM_GRADIENT_2_COLOR);
  display.m_GradTopLeft = ON_Color(255, 0, 0);
  display.m_GradBotLeft = ON_Color(0, 0, 8);

  CRhinoDib picture(4, 4, 24);
  ASSERT_TRUE(picture.WriteToFile((folder / "t.jpg").wstring().c_str()));
  ON_Material textured;
  textured.m_material_name = L"textured";
  textured.m_diffuse = ON_Color(8, 255, 0);
  textured.m_specular = ON_Color(255, 128, 8);
  textured.m_reflection = ON_Color(0, 0, 255);
  textured.m_reflectivity = 0.3;
  textured.m_transparency = 0.25;
  textured.m_index_of_refraction = 1.52;
  textured.SetShine(ON_Material::MaxShine() / 2);
  textured.AddTexture((folder / "t.jpg").wstring().c_str());
  ON_Material ignored = textured;
  ignored.m_material_name = L"ignored texture";
  ignored.m_textures[0].m_mode = ON_Texture::no_texture_mode;
  ON_Material dull;
  dull.m_material_name = L"dull";
  dull.m_specular = ON_Color(255, 255, 255);
  dull.SetShine(0);
  const int a = doc.m_material_table.AddMaterial(textured);
  const int b = doc.m_material_table.AddMaterial(ignored);
  doc.m_material_table.AddMaterial(dull);

  Add(new CRhinoMeshObject(Mesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, true)), a, ON_Color(0, 0, 0));
  Add(new CRhinoMeshObject(Mesh({{0, 0, 1}, {1, 0, 1}, {0, 1, 1}}, true)), b, ON_Color(0, 0, 0));
  Add(new CRhinoMeshObject(Mesh({{0, 0, 2}, {2, 0, 2}, {0, 2, 2}}, false)), a, ON_Color(0, 0, 0));
  Add(new CRhinoCurveObject(std::make_unique<ON_LineCurve>(ON_3dPoint(1, 2, 3), ON_3dPoint(4, 5, 6))), -1,
      ON_Color(255, 0, 0));
  Add(new CRhinoTextDot(ON_3dPoint(1, 2, 3), L"first"), -1, ON_Color(10, 20, 30));
  Add(new CRhinoTextDot(ON_3dPoint(4, 5, 6), L"second"), -1, ON_Color(200, 200, 200));

  zem::AnswerQueue::Instance().Push(zem::kSaveFileQuestion, PagePath());
  ExportMemory memory;
  ExportHooks hooks;
  hooks.capturePreview = false;
  ASSERT_EQ(RunExport({}, memory, hooks).status, ExportStatus::Written);
  const std::string functions = DataFunctions(ReadPage());

  zem::testing::ExpectSameAsGolden(functions, "golden-scene.js");
}

}  // namespace
}  // namespace zem
