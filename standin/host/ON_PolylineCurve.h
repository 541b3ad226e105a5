#pragma once
// A chain of line segments through points; point i is at parameter m_t[i].
#include "standin/host/ON_Curve.h"

using ON_Polyline = ON_SimpleArray<ON_3dPoint>;

class ON_PolylineCurve : public ON_Curve {
 public:
  ON_PolylineCurve() = default;
  explicit ON_PolylineCurve(const ON_Polyline& points);
  ON_Curve* DuplicateCurve() const override { return new ON_PolylineCurve(*this); }

  int PointCount() const { return m_pline.Count(); }
  // Replaces the points; parameters become 0, 1, 2, ...
  void SetPoints(const ON_Polyline& points);

  ON_Interval Domain() const override;
  bool Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const override;
  int Degree() const override { return 1; }
  void GetSpanVector(ON_SimpleArray<double>& spans) const override;
  bool IsValid() const override;
  ON_BoundingBox BoundingBox() const override;

  ON_Polyline m_pline;
  ON_SimpleArray<double> m_t;
};
