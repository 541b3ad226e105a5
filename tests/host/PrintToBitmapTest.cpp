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
