// initCurves and initDots: which objects give wires and labels, and what
// the buffers hold.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/CaptureTestSupport.h"
#include "tests/support/HostTestSupport.h"
#include "capture/CurveWriter.h"
#include "capture/TextDotWriter.h"
#include "capture/ZEM_Rhino_WebGLExport.h"
#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/CRhinoPointObject.h"
#include "standin/host/CRhinoTextDot.h"
#include "standin/host/ON_LineCurve.h"

namespace {

using zem::testing::Count;

class CurveAndDotWriterTest : public zem::testing::TempFolderTest {
 protected:
  CRhinoObject* Add(CRhinoObject* object, ON_Color colour = ON_Color(255, 0, 0)) {
    ON_3dmObjectAttributes attributes = object->Attributes();
    attributes.SetColorSource(ON_3dmObjectAttributes::color_from_object);
    attributes.m_color = colour;
    object->ModifyAttributes(attributes);
    doc.AddObject(object);
    return object;
  }
  CRhinoObject* Line(ON_3dPoint a, ON_3dPoint b) {
    return Add(new CRhinoCurveObject(std::make_unique<ON_LineCurve>(a, b)));
  }
  CRhinoObject* Square() { return Add(new CRhinoMeshObject(zem::testing::QuadGrid(1, 1))); }
  std::string Write(bool dots = true) {
    zem::ExportContext context(doc, display);
    ZEM_Rhino_WebGLExport writer(context);
    EXPECT_TRUE(writer.OpenPage(PagePath()));
    zem::CollectCurves(writer);
    zem::CollectTextDots(writer, dots);
    writer.WriteBody();
    EXPECT_TRUE(writer.ClosePage());
    return ReadPage();
  }
  std::string Curves(const std::string& page) {
    auto start = page.find("function initCurves(");
    return page.substr(start, page.find("function initDots(") - start);
  }
  CRhinoDoc doc;
  CDisplayPipelineAttributes display;
};

TEST_F(CurveAndDotWriterTest, SwitchesChooseWhichObjectsGiveWires) {
  Line(ON_3dPoint(0, 0, 0), ON_3dPoint(1, 0, 0));
  Square();
  Add(new CRhinoPointObject(ON_3dPoint(9, 9, 9)));
  display.m_bShowCurves = false;
  display.m_bShowSurfaceWires = false;
  display.m_bShowMeshWires = false;
  EXPECT_EQ(Count(Curves(Write()), "cols.push("), 0u);
  display.m_bShowMeshWires = true;
  std::string curves = Curves(Write());
  EXPECT_EQ(Count(curves, "cols.push("), 1u);                           // the square's boundary
  EXPECT_NE(curves.find("lbl.push(5);"), std::string::npos) << curves;  // closed: four corners and back
  display.m_bShowCurves = true;
  EXPECT_EQ(Count(Curves(Write()), "cols.push("), 2u);
}

TEST_F(CurveAndDotWriterTest, UnwantedDotsGiveAnEmptyFunctionAndNoLabels) {
  Add(new CRhinoTextDot(ON_3dPoint(1, 2, 3), L"first"));
  std::string page = Write(false);
  EXPECT_NE(page.find("function initDots(dtpts){\r\n};"), std::string::npos);
  EXPECT_EQ(Count(page, "<div id=\"dot"), 0u);
  // Without curves the box keeps its extreme starting values.
  EXPECT_NE(Curves(page).find("bbmin.x=3.40282e+38;"), std::string::npos);
  EXPECT_NE(Curves(page).find("bbmax.z=-3.40282e+38;}"), std::string::npos);
}

}  // namespace
