// Writes the small STEP and IGES files the CAD reader's tests read
// (tests/data/cad/), with Open CASCADE's own writers:
//   box.step            a 10 x 20 x 30 box, no colour
//   cylinder-hole.step  a blue cylinder with a hole through it
//   assembly.step       two instances of one part, red and green, placed apart
//   reversed-face.step  one square face whose orientation is reversed
//   trimmed.igs         a named, trimmed plane (a disc with a square hole)
//   curves.igs          a line and a circle, no surface
// Run: zem_make_cad_test_files OUTPUT-FOLDER
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Builder.hxx>
#include <IGESCAFControl_Writer.hxx>
#include <Interface_Static.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <gp_Circ.hxx>
#include <gp_Pln.hxx>

#include <cstdio>
#include <string>

namespace {

Handle(TDocStd_Document) NewDocument() {
  Handle(TDocStd_Document) doc;
  XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc);
  return doc;
}

Handle(XCAFDoc_ShapeTool) Shapes(const Handle(TDocStd_Document) & doc) {
  return XCAFDoc_DocumentTool::ShapeTool(doc->Main());
}

Handle(XCAFDoc_ColorTool) Colours(const Handle(TDocStd_Document) & doc) {
  return XCAFDoc_DocumentTool::ColorTool(doc->Main());
}

TDF_Label AddNamed(const Handle(TDocStd_Document) & doc, const TopoDS_Shape& shape, const char* name) {
  const TDF_Label label = Shapes(doc)->AddShape(shape, false);
  TDataStd_Name::Set(label, name);
  return label;
}

bool WriteStep(const Handle(TDocStd_Document) & doc, const std::string& path) {
  STEPCAFControl_Writer writer;
  writer.SetColorMode(true);
  writer.SetNameMode(true);
  if (!writer.Transfer(doc, STEPControl_AsIs)) return false;
  return writer.Write(path.c_str()) == IFSelect_RetDone;
}

bool WriteIges(const Handle(TDocStd_Document) & doc, const std::string& path) {
  IGESCAFControl_Writer writer;
  writer.SetColorMode(true);
  writer.SetNameMode(true);
  if (!writer.Transfer(doc)) return false;
  return writer.Write(path.c_str()) == Standard_True;
}

Quantity_Color Srgb(double r, double g, double b) { return Quantity_Color(r, g, b, Quantity_TOC_sRGB); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
    return 2;
  }
  const std::string out = std::string(argv[1]) + "/";
  Interface_Static::SetCVal("write.step.schema", "AP214IS");
  bool ok = true;

  {
    auto doc = NewDocument();
    AddNamed(doc, BRepPrimAPI_MakeBox(10, 20, 30).Shape(), "Box");
    ok &= WriteStep(doc, out + "box.step");
  }
  {
    auto doc = NewDocument();
    const TopoDS_Shape cylinder = BRepPrimAPI_MakeCylinder(10, 20).Shape();
    const TopoDS_Shape hole = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(0, 0, -1), gp::DZ()), 4, 22).Shape();
    const TDF_Label label = AddNamed(doc, BRepAlgoAPI_Cut(cylinder, hole).Shape(), "Bushing");
    Colours(doc)->SetColor(label, Srgb(0, 0, 1), XCAFDoc_ColorSurf);
    ok &= WriteStep(doc, out + "cylinder-hole.step");
  }
  {
    auto doc = NewDocument();
    auto shapes = Shapes(doc);
    const TDF_Label part = AddNamed(doc, BRepPrimAPI_MakeBox(4, 4, 4).Shape(), "Block");
    const TDF_Label assembly = shapes->NewShape();
    TDataStd_Name::Set(assembly, "Pair");
    gp_Trsf first, second;
    first.SetTranslation(gp_Vec(0, 0, 0));
    second.SetRotation(gp_Ax1(gp::Origin(), gp::DZ()), M_PI / 2);
    second.SetTranslationPart(gp_Vec(20, 0, 0));
    const TDF_Label a = shapes->AddComponent(assembly, part, TopLoc_Location(first));
    const TDF_Label b = shapes->AddComponent(assembly, part, TopLoc_Location(second));
    shapes->UpdateAssemblies();
    Colours(doc)->SetColor(a, Srgb(1, 0, 0), XCAFDoc_ColorSurf);
    Colours(doc)->SetColor(b, Srgb(0, 1, 0), XCAFDoc_ColorSurf);
    ok &= WriteStep(doc, out + "assembly.step");
  }
  {
    auto doc = NewDocument();
    const TopoDS_Face face = BRepBuilderAPI_MakeFace(gp_Pln(gp::XOY()), 0, 10, 0, 10).Face();
    AddNamed(doc, face.Reversed(), "Flipped");
    ok &= WriteStep(doc, out + "reversed-face.step");
  }
  {
    auto doc = NewDocument();
    BRepBuilderAPI_MakeFace disc(
        gp_Pln(gp::XOY()), BRepBuilderAPI_MakeWire(BRepBuilderAPI_MakeEdge(gp_Circ(gp::XOY(), 10)).Edge()).Wire());
    BRepBuilderAPI_MakePolygon square(gp_Pnt(-3, -3, 0), gp_Pnt(-3, 3, 0), gp_Pnt(3, 3, 0), gp_Pnt(3, -3, 0), true);
    disc.Add(square.Wire());
    AddNamed(doc, disc.Face(), "Lid");
    ok &= WriteIges(doc, out + "trimmed.igs");
  }
  {
    auto doc = NewDocument();
    TopoDS_Compound curves;
    BRep_Builder builder;
    builder.MakeCompound(curves);
    builder.Add(curves, BRepBuilderAPI_MakeEdge(gp_Pnt(0, 0, 0), gp_Pnt(10, 0, 0)).Edge());
    builder.Add(curves, BRepBuilderAPI_MakeEdge(gp_Circ(gp_Ax2(gp_Pnt(0, 0, 5), gp::DZ()), 3)).Edge());
    AddNamed(doc, curves, "Sketch");
    ok &= WriteIges(doc, out + "curves.igs");
  }
  if (!ok) std::fprintf(stderr, "a file could not be written\n");
  return ok ? 0 : 1;
}
