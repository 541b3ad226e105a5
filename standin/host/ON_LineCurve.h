#pragma once
// A straight line segment, parameter 0 at its start and 1 at its end.
#include "standin/host/ON_Curve.h"

class ON_Line {
 public:
  ON_3dPoint from;
  ON_3dPoint to;
  ON_Line() = default;
  ON_Line(const ON_3dPoint& a, const ON_3dPoint& b) : from(a), to(b) {}
  double Length() const { return from.DistanceTo(to); }
};

class ON_LineCurve : public ON_Curve {
 public:
  ON_LineCurve() = default;
  explicit ON_LineCurve(const ON_Line& line) : m_line(line) {}
  ON_LineCurve(const ON_3dPoint& a, const ON_3dPoint& b) : m_line(a, b) {}
  ON_Curve* DuplicateCurve() const override { return new ON_LineCurve(*this); }

  ON_Interval Domain() const override { return {0, 1}; }
  bool Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const override;
  int Degree() const override { return 1; }
  bool IsValid() const override { return m_line.from.IsValid() && m_line.to.IsValid() && !(m_line.from == m_line.to); }
  ON_BoundingBox BoundingBox() const override;

  ON_Line m_line;
};
