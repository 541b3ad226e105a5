#include "standin/host/ON_ArcCurve.h"

#include <cmath>

bool ON_Arc::IsCircle() const { return std::fabs(AngleRadians() - 2 * 3.141592653589793) <= 1e-12; }

bool ON_ArcCurve::Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const {
  const ON_Plane& p = m_arc.plane;
  const double r = m_arc.radius;
  point = p.origin + (r * std::cos(t)) * p.xaxis + (r * std::sin(t)) * p.yaxis;
  derivative = (-r * std::sin(t)) * p.xaxis + (r * std::cos(t)) * p.yaxis;
  return true;
}

bool ON_ArcCurve::IsValid() const {
  const double sweep = m_arc.AngleRadians();
  return m_arc.plane.IsValid() && std::isfinite(m_arc.radius) && m_arc.radius > 0 && std::isfinite(sweep) &&
         sweep > 0 && sweep <= 2 * 3.141592653589793 + 1e-12;
}

ON_BoundingBox ON_ArcCurve::BoundingBox() const {
  // The box of the whole circle holds the arc.
  ON_BoundingBox box;
  const ON_Plane& p = m_arc.plane;
  const double r = m_arc.radius;
  for (int sx : {-1, 1}) {
    for (int sy : {-1, 1}) box.Set(p.origin + (sx * r) * p.xaxis + (sy * r) * p.yaxis, true);
  }
  return box;
}
