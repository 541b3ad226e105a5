#include "standin/host/ON_PolylineCurve.h"

#include <algorithm>

ON_PolylineCurve::ON_PolylineCurve(const ON_Polyline& points) { SetPoints(points); }

void ON_PolylineCurve::SetPoints(const ON_Polyline& points) {
  m_pline = points;
  m_t.SetCount(points.Count());
  for (int i = 0; i < points.Count(); ++i) m_t[i] = i;
}

ON_Interval ON_PolylineCurve::Domain() const {
  if (m_t.Count() < 2) return {0, 0};
  return {m_t[0], m_t[m_t.Count() - 1]};
}

bool ON_PolylineCurve::Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const {
  const int n = std::min(m_pline.Count(), m_t.Count());
  if (n == 0) return false;
  if (n == 1) {
    point = m_pline[0];
    derivative = ON_3dVector::ZeroVector;
    return true;
  }
  // The segment [m_t[i], m_t[i+1]] that holds t (the last one at the end).
  int i = static_cast<int>(std::upper_bound(m_t.begin(), m_t.begin() + n, t) - m_t.begin()) - 1;
  i = std::clamp(i, 0, n - 2);
  double dt = m_t[i + 1] - m_t[i];
  ON_3dVector chord = m_pline[i + 1] - m_pline[i];
  double s = dt != 0 ? (t - m_t[i]) / dt : 0;
  point = m_pline[i] + s * chord;
  derivative = dt != 0 ? (1 / dt) * chord : chord;
  return true;
}

void ON_PolylineCurve::GetSpanVector(ON_SimpleArray<double>& spans) const { spans = m_t; }

bool ON_PolylineCurve::IsValid() const {
  if (m_pline.Count() < 2 || m_t.Count() != m_pline.Count()) return false;
  for (int i = 0; i < m_pline.Count(); ++i) {
    if (!m_pline[i].IsValid()) return false;
    if (i > 0 && !(m_t[i] > m_t[i - 1])) return false;
  }
  return true;
}

ON_BoundingBox ON_PolylineCurve::BoundingBox() const {
  ON_BoundingBox box;
  for (const ON_3dPoint& p : m_pline) box.Set(p, true);
  return box;
}
