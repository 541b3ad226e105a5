#include "host/CRhinoPrintInfo.h"

#include "host/model/ModelFile.h"
#include "platform/TextEncoding.h"
#include "tests/support/HostTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// The preview set-up the export makes: 800 x 600 points at 72 dpi.
CRhinoPrintInfo PreviewOf(const CRhinoView& view) {
  CRhinoPrintInfo info;
  info.SetLayoutRectangles(RECT{0, 0, 800, 600});
  EXPECT_TRUE(info.SetViewport(view.ActiveViewportID()));
  info.m_bDrawBackground = info.m_bDrawLighting = info.m_bDrawWires = true;
  info.m_raster_dpi = info.m_vector_dpi = 72.0;
  return info;
}

int Difference(const CRhinoDib& dib, int x0, int y0, int x1, int y1) {
  int a[3], b[3];
  dib.GetPixel(x0, y0, a[0], a[1], a[2]);
  dib.GetPixel(x1, y1, b[0], b[1], b[2]);
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

TEST(PrintToBitmap, TheDemoPreviewShowsTheModelInTheCentreOverItsGradient) {
  zem::ModelReport report;
  ASSERT_TRUE(zem::OpenDemoDocument(report));
  const CRhinoView& view = *RhinoApp().ActiveView();
  CRhinoPrintInfo info = PreviewOf(view);
  CRhinoDib dib;
  ASSERT_TRUE(info.DrawToSingleDib(dib, false, true));
  ASSERT_EQ(dib.Width(), 800);
  ASSERT_EQ(dib.Height(), 600);

  // Kept for people to look at.
  const char* folder = std::getenv("ZEM_TEST_ARTIFACTS");
  const fs::path artifacts = folder ? fs::path(folder) : fs::current_path() / "test-artifacts";
  fs::create_directories(artifacts);
  EXPECT_TRUE(dib.WriteToFile(zem::FromUtf8((artifacts / "demo-preview-800x600.jpg").string()).c_str()));

  // The background is a vertical gradient: top and bottom rows differ, and
  // the left edge shows the background of each row.
  const CDisplayPipelineAttributes* mode = view.DisplayPipeline()->DisplayAttrs();
  int r, g, b;
  dib.GetPixel(0, 599, r, g, b);
  EXPECT_NEAR(r, mode->m_GradTopLeft.Red(), 3);
  dib.GetPixel(0, 0, r, g, b);
  EXPECT_NEAR(b, mode->m_GradBotLeft.Blue(), 3);
  // In the centre, the model: most pixels of a small block differ from the
  // background of their rows.
  int model = 0;
  for (int y = 280; y < 320; y += 4) {
    for (int x = 380; x < 420; x += 4) model += Difference(dib, x, y, 0, y) > 40 ? 1 : 0;
  }
  EXPECT_GT(model, 80) << "of 100 samples";
  RhinoApp().CloseDocument();
}

TEST(PrintToBitmap, FillsTheBackgroundAsTheDisplayModeSays) {
  CRhinoDoc& doc = RhinoApp().NewDocument();
  CRhinoView* view = doc.CreateView(L"Empty");
  RhinoApp().SetActiveView(view);
  CDisplayPipelineAttributes solid = *zem::FindDisplayMode(L"Shaded");
  solid.SetBackgroundFillMode(CDisplayPipelineAttributes::FBFM_SOLID_COLOR);
  solid.m_SolidColor = ON_Color(10, 200, 30);
  view->SetDisplayMode(solid);
  CRhinoPrintInfo info = PreviewOf(*view);
  info.m_raster_dpi = 36;  // half size
  CRhinoDib dib;
  ASSERT_TRUE(info.DrawToSingleDib(dib));
  EXPECT_EQ(dib.Width(), 400);
  int r, g, b;
  dib.GetPixel(200, 150, r, g, b);
  EXPECT_EQ(g, 200);
  info.m_bDrawBackground = false;
  ASSERT_TRUE(info.DrawToSingleDib(dib, true));
  dib.GetPixel(200, 150, r, g, b);
  EXPECT_EQ(r, 255) << "white without the background";

  RhinoApp().AppSettings().SetViewportBackgroundColor(ON_Color(1, 2, 3));
  view->SetDisplayMode(*zem::FindDisplayMode(L"Wireframe"));
  info.m_bDrawBackground = true;
  ASSERT_TRUE(info.DrawToSingleDib(dib));
  dib.GetPixel(10, 10, r, g, b);
  EXPECT_EQ(b, 3) << "the application's colour";
  RhinoApp().AppSettings().SetViewportBackgroundColor(ON_Color(160, 160, 160));
  RhinoApp().CloseDocument();
}

TEST(PrintToBitmap, FailsWithoutAViewportOrASize) {
  CRhinoDoc& doc = RhinoApp().NewDocument();
  CRhinoView* view = doc.CreateView(L"V");
  CRhinoPrintInfo info;
  CRhinoDib dib;
  EXPECT_FALSE(info.SetViewport(ON_CreateUuid()));
  EXPECT_FALSE(info.DrawToSingleDib(dib)) << "no viewport set";
  EXPECT_TRUE(info.SetViewport(view->ActiveViewportID()));
  EXPECT_FALSE(info.DrawToSingleDib(dib)) << "no layout rectangle";
  info.SetLayoutRectangles(RECT{0, 0, 100000, 100000});
  EXPECT_FALSE(info.DrawToSingleDib(dib)) << "too large";
  RhinoApp().CloseDocument();
}

}  // namespace
