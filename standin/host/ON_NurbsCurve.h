#pragma once
// A non-uniform rational B-spline curve of any degree. Control points are
// stored homogeneously for rational curves: (x*w, y*w, z*w, w).
#include "standin/host/ON_Curve.h"

#include <vector>

class ON_NurbsCurve : public ON_Curve {
 public:
  ON_NurbsCurve() = default;
  // A curve of the given order (degree + 1) with cvCount control points at
  // the origin, weights 1 and clamped uniform knots.
  ON_NurbsCurve(int dimension, bool isRational, int order, int cvCount);
  ON_Curve* DuplicateCurve() const override { return new ON_NurbsCurve(*this); }

  int Order() const { return m_order; }
  int CVCount() const { return m_cv_count; }
  int KnotCount() const { return static_cast<int>(m_knot.size()); }
  bool IsRational() const { return m_is_rat; }

  bool SetCV(int i, const ON_3dPoint& point);                 // weight stays
  bool SetCV(int i, const ON_3dPoint& point, double weight);  // Euclidean point and its weight
  bool GetCV(int i, ON_3dPoint& point) const;
  double Weight(int i) const;
  bool MakeClampedUniformKnotVector();

  ON_Interval Domain() const override;
  bool Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const override;
  int Degree() const override { return m_order - 1; }
  void GetSpanVector(ON_SimpleArray<double>& spans) const override;
  // Order at least 2, enough control points, knots that never decrease over
  // a domain of some length, finite values and positive weights.
  bool IsValid() const override;
  ON_BoundingBox BoundingBox() const override;

  int m_dim = 3;
  bool m_is_rat = false;
  int m_order = 0;
  int m_cv_count = 0;
  std::vector<double> m_knot;
  std::vector<double> m_cv;  // m_cv_count * (m_is_rat ? 4 : 3) values
};
