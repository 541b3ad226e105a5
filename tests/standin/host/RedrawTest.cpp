#include "standin/host/CRhinoDisplayConduit.h"
#include "standin/platform/Window.h"
#include "tests/support/HostTestSupport.h"

#include <gtest/gtest.h>

#include "standin/platform/MessageLoop.h"

namespace {

// Counts its frames.
class CountingConduit : public CRhinoDisplayConduit {
 public:
  CountingConduit() : CRhinoDisplayConduit(SC_DRAWFOREGROUND, false) {}
  bool ExecConduit(CRhinoDisplayPipeline&, UINT, bool&) override {
    ++calls;
    return true;
  }
  int calls = 0;
};

// A document with the four-view layout and a mesh, active.
class RedrawTest : public ::testing::Test {
 protected:
  CRhinoDoc* doc = nullptr;
  void SetUp() override {
    doc = &RhinoApp().NewDocument();
    for (const wchar_t* name : {L"Top", L"Front", L"Right", L"Perspective"}) doc->CreateView(name);
    zem::testing::AddMesh(*doc);
    RhinoApp().SetActiveView(doc->FindView(L"Perspective"));
  }
  void TearDown() override { RhinoApp().CloseDocument(); }
};

TEST_F(RedrawTest, DeferredRedrawRunsInTheMessageLoopsIdleStep) {
  CountingConduit conduit;
  conduit.Enable();
  RhinoApp().Idle();
  conduit.calls = 0;
  doc->RefreshViews(true);
  doc->DeferredRedraw();
  HWND window = zem::CreateWindowObject(L"ZemTestWindow", L"", 0, RECT{});
  PostMessageW(window, WM_NULL, 0, 0);
  int drawnWhenPostedArrived = -1;
  zem::SetWindowProcedure(window, [&](UINT, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = true;
    drawnWhenPostedArrived = conduit.calls;
    return 0;
  });
  EXPECT_TRUE(zem::RunMessageLoop([&] { return conduit.calls > 0; }, 1000));
  EXPECT_EQ(drawnWhenPostedArrived, 0) << "posted messages come before the idle step";
  EXPECT_EQ(conduit.calls, 4);
  DestroyWindow(window);
}

TEST_F(RedrawTest, DisabledOrDestroyedConduitsAreNotRun) {
  auto conduit = std::make_unique<CountingConduit>();
  conduit->Enable();
  conduit->Disable();
  doc->Redraw();
  EXPECT_EQ(conduit->calls, 0);
  conduit->Enable();
  conduit.reset();
  doc->Redraw();  // must not call the destroyed conduit
  SUCCEED();
}

}  // namespace
