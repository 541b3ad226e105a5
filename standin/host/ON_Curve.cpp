#include "standin/host/ON_Curve.h"

void ON_Curve::GetSpanVector(ON_SimpleArray<double>& spans) const {
  spans.Empty();
  spans.Append(Domain()[0]);
  spans.Append(Domain()[1]);
}

ON_3dPoint ON_Curve::PointAt(double t) const {
  ON_3dPoint p;
  ON_3dVector d;
  Ev1Der(t, p, d);
  return p;
}

ON_3dVector ON_Curve::TangentAt(double t) const {
  ON_3dPoint p;
  ON_3dVector d;
  Ev1Der(t, p, d);
  d.Unitize();
  return d;
}

bool ON_Curve::IsClosed() const {
  ON_3dPoint a = PointAtStart(), b = PointAtEnd();
  double size = BoundingBox().Diagonal();
  return a.DistanceTo(b) <= 1e-12 * (size > 1 ? size : 1);
}
