#pragma once
// The page's line data: initCurves, one line strip per wire curve of the
// visible objects, coloured in the object's draw colour.
#include "standin/host/ON_Point.h"

class ZEM_WebGLExport;
class ZEM_Rhino_WebGLExport;

// Writes the whole initCurves function, closed by the box line.
namespace zem {

void CollectCurves(ZEM_Rhino_WebGLExport& writer);

// Writes one polyline as one curve buffer (never split); every point widens
// the writer's box. Points that are not finite are left out. False when no
// page is open.
bool WriteCurveBuffer(ZEM_WebGLExport& writer, int pointCount, const ON_3dPoint* points, double red, double green,
                      double blue);

}  // namespace zem
