#include "capture/CurveWriter.h"

#include "capture/PageWireSelection.h"
#include "capture/ZEM_Rhino_WebGLExport.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/RhinoConvertCurveToPolyline.h"
#include "page/PageFormat.h"

namespace {

// Curve buffers are numbered for as long as the program runs, so buffer
// names stay unique within any page.
int g_curveBufferCounter = 0;

}  // namespace

bool WriteCurveBuffer(ZEM_WebGLExport& writer, int pointCount, const ON_3dPoint* points, double red, double green,
                      double blue) {
  if (!writer.IsOpen()) return false;
  writer.FormatNumbers("cols.push(%g,%g,%g);", {red, green, blue});
  const int n = ++g_curveBufferCounter;
  writer.FormatNumbers("var v%d=new Float32Array([", {static_cast<double>(n)});
  int written = 0;
  for (int i = 0; i < pointCount; ++i) {
    const ON_3dPoint& p = points[i];
    // A point that is not finite would stop the viewer's script.
    if (!p.IsValid()) continue;
    ++written;
    writer.FormatNumbers("%g,%g,%g,", {p.x, p.y, p.z});
    const float f[3] = {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
    writer.ExtendBounds(f);
  }
  writer.FormatNumbers(
      "]);lbl.push(%d);var b%d=gl.createBuffer();lbuff.push(b%d);gl.bindBuffer(gl.ARRAY_BUFFER,b%d);"
      "gl.bufferData(gl.ARRAY_BUFFER,v%d,gl.STATIC_DRAW);",
      {static_cast<double>(written), static_cast<double>(n), static_cast<double>(n), static_cast<double>(n),
       static_cast<double>(n)});
  writer.WriteRawNarrow(zem::page_format::CurveAttributeCall());
  writer.WriteRawNarrow("\n");
  return true;
}

void CollectCurves(ZEM_Rhino_WebGLExport& writer) {
  writer.WriteRawNarrow(zem::page_format::kInitCurves);
  writer.WriteRawNarrow("{\n");
  CRhinoObjectIterator it(writer.m_document, CRhinoObjectIterator::all_objects,
                          CRhinoObjectIterator::active_and_reference_objects);
  for (CRhinoObject* object = it.First(); object; object = it.Next()) {
    if (!object->IsVisible() || !zem::PageTakesWires(*object, writer.m_displayAttrs)) continue;
    ON_SimpleArray<ON_Curve*> curves;
    if (object->GetWireframeCurves(curves) <= 0) {
      for (int i = 0; i < curves.Count(); ++i) delete curves[i];
      continue;
    }
    const ON_Color colour = object->ObjectDrawColor(false);
    for (int i = 0; i < curves.Count(); ++i) {
      if (curves[i]) {
        ON_PolylineCurve polyline;
        // Segments turn by at most 0.25 radians; the result flag does not
        // matter: whatever points the polyline holds are written.
        RhinoConvertCurveToPolyline(*curves[i], 0, 0, 0.25, 1.0, 0, 0, 0, 0, &polyline, true, nullptr);
        WriteCurveBuffer(writer, polyline.PointCount(), polyline.m_pline.Array(), colour.FractionRed(),
                         colour.FractionGreen(), colour.FractionBlue());
      }
      delete curves[i];
    }
  }
  writer.WriteBoxLine();
}
