#include "dialog/ZEM_ActiveViewportDisplay.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/ON_LineCurve.h"

namespace {

// A strip of `triangles` triangles (joined in pairs into quads when asked),
// with texture coordinates when asked.
CRhinoMeshObject* Strip(int triangles, bool textured, bool quads = false) {
  ON_Mesh mesh;
  for (int i = 0; i < triangles + 2; ++i) {
    mesh.m_V.Append(ON_3fPoint(static_cast<float>(i / 2), static_cast<float>(i % 2), 0));
    if (textured) mesh.m_T.Append(ON_2fPoint(static_cast<float>(i) / triangles, static_cast<float>(i % 2)));
  }
  for (int i = 0; i < triangles; i += quads ? 2 : 1)
    mesh.m_F.Append(quads ? ON_MeshFace{{i, i + 1, i + 3, i + 2}} : ON_MeshFace{{i, i + 1, i + 2, i + 2}});
  return new CRhinoMeshObject(mesh);
}

CRhinoCurveObject* Line() {
  return new CRhinoCurveObject(std::make_unique<ON_LineCurve>(ON_3dPoint(0, 0, 0), ON_3dPoint(5, 0, 0)));
}

// The veils over the last frame of a view.
std::size_t Veils(const CRhinoView* view) { return view->DisplayPipeline()->LastFrames().front().fills.size(); }

class ActiveViewportDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { doc = &RhinoApp().NewDocument(); }
  void TearDown() override {
    conduit.reset();
    RhinoApp().CloseDocument();
  }
  void MakeViews(std::initializer_list<const wchar_t*> names, const wchar_t* mode = L"Shaded") {
    for (const wchar_t* name : names) doc->CreateView(name)->SetDisplayMode(*zem::FindDisplayMode(mode));
    RhinoApp().SetActiveView(doc->View(doc->ViewCount() - 1));
  }
  void Draw() {
    doc->RefreshViews(true);
    doc->DeferredRedraw();
    RhinoApp().Idle();
  }

  CRhinoDoc* doc = nullptr;
  std::unique_ptr<ZEM_ActiveViewportDisplay> conduit = std::make_unique<ZEM_ActiveViewportDisplay>();
};

TEST_F(ActiveViewportDisplayTest, VeilsEveryViewButTheActiveOneAndFollowsTheActiveView) {
  MakeViews({L"Top", L"Front", L"Right", L"Perspective"});
  conduit->Activate();
  RhinoApp().Idle();
  for (const wchar_t* name : {L"Top", L"Front", L"Right"}) ASSERT_EQ(Veils(doc->FindView(name)), 1u);
  EXPECT_EQ(Veils(doc->FindView(L"Perspective")), 0u);
  const zem::FilledRect& veil = doc->FindView(L"Top")->DisplayPipeline()->LastFrames().front().fills.front();
  EXPECT_EQ(std::tie(veil.x, veil.y, veil.width, veil.height, veil.color, veil.transparency),
            std::make_tuple(0, 0, 800, 600, COLORREF{0}, 64));

  // Activating another view redraws everything through the watcher alone.
  RhinoApp().SetActiveView(doc->FindView(L"Top"));
  EXPECT_GT(RhinoApp().Idle(), 0);
  EXPECT_EQ(Veils(doc->FindView(L"Top")), 0u);
  EXPECT_EQ(Veils(doc->FindView(L"Perspective")), 1u);

  conduit->Deactivate();
  EXPECT_GT(RhinoApp().Idle(), 0);
  for (int i = 0; i < doc->ViewCount(); ++i) EXPECT_EQ(Veils(doc->View(i)), 0u);
}

struct CountCase {
  const char* name;
  const wchar_t* mode;
  std::function<void(CRhinoDoc&)> fill;
  int m, t, c, p;
};

class ActiveViewportCountTest : public ActiveViewportDisplayTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(ActiveViewportCountTest, CountsWhatThePageWillHold) {
  MakeViews({L"Perspective"}, GetParam().mode);
  GetParam().fill(*doc);
  conduit->Activate();
  RhinoApp().Idle();
  EXPECT_EQ(std::tie(conduit->M, conduit->T, conduit->C, conduit->P),
            std::tie(GetParam().m, GetParam().t, GetParam().c, GetParam().p));
}

// Rendered shades without wires; Wireframe draws wires only (a strip's
// naked edges are one closed loop).
INSTANTIATE_TEST_SUITE_P(
    Modes, ActiveViewportCountTest,
    ::testing::Values(
        CountCase{"TexturedTrianglesWeighFourThirds", L"Rendered", [](CRhinoDoc& d) { d.AddObject(Strip(100, true)); },
                  1, 133, 0, 0},
        CountCase{"PlainTrianglesCountOnce", L"Rendered", [](CRhinoDoc& d) { d.AddObject(Strip(100, false)); }, 1, 100,
                  0, 0},
        CountCase{"AQuadCountsTwo", L"Rendered", [](CRhinoDoc& d) { d.AddObject(Strip(2, false, true)); }, 1, 2, 0, 0},
        CountCase{"CurveCountsInRenderedMode", L"Rendered", [](CRhinoDoc& d) { d.AddObject(Line()); }, 0, 0, 1, 2},
        CountCase{"WireframeCountsWiresNotMeshes", L"Wireframe",
                  [](CRhinoDoc& d) {
                    d.AddObject(Strip(2, false, true));
                    d.AddObject(Line());
                  },
                  0, 0, 2, 7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ActiveViewportDisplayTest, SurvivesDocumentsWithoutAnActiveView) {
  MakeViews({L"Top", L"Perspective"});
  doc->AddObject(Line());
  conduit->Activate();
  RhinoApp().Idle();
  RhinoApp().CloseDocument();
  // A new document draws its first view before any view is active.
  doc = &RhinoApp().NewDocument();
  doc->AddObject(Line());
  doc->AddObject(Line());
  CRhinoView* view = doc->CreateView(L"Top");
  ASSERT_EQ(RhinoApp().ActiveView(), nullptr);
  view->Redraw();
  EXPECT_EQ(Veils(view), 0u);
  EXPECT_EQ(conduit->C, 1);
}

// In the sanitizer build a wire curve left undeleted fails this test.
TEST_F(ActiveViewportDisplayTest, RedrawingAModelWithCurvesKeepsNothing) {
  MakeViews({L"Perspective"});
  for (int i = 0; i < 10; ++i) doc->AddObject(Line());
  conduit->Activate();
  for (int i = 0; i < 100; ++i) Draw();
  EXPECT_EQ(std::tie(conduit->C, conduit->P), std::make_tuple(10, 20));
}

}  // namespace
