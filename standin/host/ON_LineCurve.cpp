#include "standin/host/ON_LineCurve.h"

bool ON_LineCurve::Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const {
  derivative = m_line.to - m_line.from;
  point = m_line.from + t * derivative;
  return true;
}

ON_BoundingBox ON_LineCurve::BoundingBox() const {
  ON_BoundingBox box;
  box.Set(m_line.from, false);
  box.Set(m_line.to, true);
  return box;
}
