#pragma once
// Turns a curve into a polyline through points on it.
#include "standin/host/ON_Curve.h"
#include "standin/host/ON_PolylineCurve.h"

// Converts `curve` (or the part of it over `subDomain`) into `output`.
//   minSegmentCount, maxSegmentCount: bounds of the segment count (0: none).
//   maxAngleRadians: the largest turn of the curve's direction along one
//     segment (0: no limit). A circle gives ceil(2 pi / angle) segments.
//   density: multiplies the segment count the angle asks for (0 or 1: as is).
//   tolerance: the largest distance between a segment and the curve (0: none).
//   minEdgeLength: segments are not split below this length (0: no limit).
//   maxEdgeLength: segments longer than this are split (0: no limit).
//   reserved: no meaning; pass 0.
//   keepStartPoint: the polyline starts where the curve starts, also on a
//     closed curve (always so here).
// Kinks (span ends of polylines and degree-1 curves) are always points of the
// result, and straight pieces stay single segments. Answers 1 with the
// polyline in `output`, or 0 (with `output` emptied) for an invalid curve or
// a null output.
int RhinoConvertCurveToPolyline(const ON_Curve& curve, int minSegmentCount, int maxSegmentCount, double maxAngleRadians,
                                double density, double tolerance, double minEdgeLength, double maxEdgeLength,
                                double reserved, ON_PolylineCurve* output, bool keepStartPoint = true,
                                const ON_Interval* subDomain = nullptr);
