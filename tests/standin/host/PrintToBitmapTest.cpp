#include "standin/host/CRhinoPrintInfo.h"

#include "standin/platform/TextEncoding.h"
#include "tests/support/HostTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

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
