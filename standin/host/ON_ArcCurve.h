#pragma once
// A circular arc or a whole circle; its parameter is the angle in radians
// around the plane's z axis, from the x axis.
#include "standin/host/ON_Curve.h"
#include "standin/host/ON_Plane.h"

class ON_Circle {
 public:
  ON_Plane plane;
  double radius = 1;
  ON_Circle() = default;
  ON_Circle(const ON_Plane& p, double r) : plane(p), radius(r) {}
  ON_Circle(const ON_3dPoint& center, double r) : radius(r) { plane.origin = center; }
};

class ON_Arc : public ON_Circle {
 public:
  ON_Interval m_angle{0, 2 * 3.141592653589793};
  ON_Arc() = default;
  explicit ON_Arc(const ON_Circle& circle) : ON_Circle(circle) {}
  ON_Arc(const ON_Circle& circle, ON_Interval angle) : ON_Circle(circle), m_angle(angle) {}
  double AngleRadians() const { return m_angle.Length(); }
  bool IsCircle() const;
};

class ON_ArcCurve : public ON_Curve {
 public:
  ON_ArcCurve() = default;
  explicit ON_ArcCurve(const ON_Arc& arc) : m_arc(arc) {}
  explicit ON_ArcCurve(const ON_Circle& circle) : m_arc(circle) {}
  ON_Curve* DuplicateCurve() const override { return new ON_ArcCurve(*this); }

  ON_Interval Domain() const override { return m_arc.m_angle; }
  bool Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const override;
  int Degree() const override { return 2; }
  bool IsValid() const override;
  ON_BoundingBox BoundingBox() const override;
  bool IsCircle() const { return m_arc.IsCircle(); }

  ON_Arc m_arc;
};
