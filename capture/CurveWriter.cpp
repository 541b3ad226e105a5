#include "capture/CurveWriter.h"

#include <span>
#include <type_traits>

#include "capture/ExportSession.h"
#include "capture/PageWireSelection.h"
#include "capture/ZEM_Rhino_WebGLExport.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/RhinoConvertCurveToPolyline.h"
#include "page/DataFunctions.h"

namespace zem {

static_assert(sizeof(ON_3dPoint) == 3 * sizeof(double) && std::is_standard_layout_v<ON_3dPoint>);

bool WriteCurveBuffer(ZEM_WebGLExport& writer, int pointCount, const ON_3dPoint* points, double red, double green,
                      double blue) {
  const std::span<const double> coordinates =
      points && pointCount > 0 ? std::span<const double>(&points->x, 3 * static_cast<std::size_t>(pointCount))
                               : std::span<const double>();
  return WriteCurveData(writer, Session().Buffers(), coordinates, Rgb{red, green, blue});
}

void CollectCurves(ZEM_Rhino_WebGLExport& writer) {
  WriteInitCurvesHead(writer);
  CRhinoObjectIterator it(writer.Context().Document(), CRhinoObjectIterator::all_objects,
                          CRhinoObjectIterator::active_and_reference_objects);
  for (CRhinoObject* object = it.First(); object; object = it.Next()) {
    if (!object->IsVisible() || !PageTakesWires(*object, writer.Context().Display())) continue;
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

}  // namespace zem
