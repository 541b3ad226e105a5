#include "standin/host/ON_NurbsCurve.h"

#include "standin/host/BSplineBasis.h"

#include <cmath>

namespace {
constexpr int kMaxOrder = 64;
}

ON_NurbsCurve::ON_NurbsCurve(int dimension, bool isRational, int order, int cvCount)
    : m_dim(dimension), m_is_rat(isRational), m_order(order), m_cv_count(cvCount) {
  const int stride = isRational ? 4 : 3;
  if (order < 2 || cvCount < order) return;
  m_cv.assign(static_cast<std::size_t>(cvCount * stride), 0.0);
  if (isRational) {
    for (int i = 0; i < cvCount; ++i) m_cv[static_cast<std::size_t>(i * 4 + 3)] = 1.0;
  }
  MakeClampedUniformKnotVector();
}

bool ON_NurbsCurve::SetCV(int i, const ON_3dPoint& point) { return SetCV(i, point, Weight(i)); }

bool ON_NurbsCurve::SetCV(int i, const ON_3dPoint& point, double weight) {
  if (i < 0 || i >= m_cv_count) return false;
  const int stride = m_is_rat ? 4 : 3;
  double* cv = &m_cv[static_cast<std::size_t>(i * stride)];
  const double w = m_is_rat ? weight : 1.0;
  cv[0] = point.x * w, cv[1] = point.y * w, cv[2] = point.z * w;
  if (m_is_rat) cv[3] = w;
  return true;
}

bool ON_NurbsCurve::GetCV(int i, ON_3dPoint& point) const {
  if (i < 0 || i >= m_cv_count) return false;
  const int stride = m_is_rat ? 4 : 3;
  const double* cv = &m_cv[static_cast<std::size_t>(i * stride)];
  const double w = m_is_rat ? cv[3] : 1.0;
  if (w == 0) return false;
  point = {cv[0] / w, cv[1] / w, cv[2] / w};
  return true;
}

double ON_NurbsCurve::Weight(int i) const {
  if (!m_is_rat || i < 0 || i >= m_cv_count) return 1.0;
  return m_cv[static_cast<std::size_t>(i * 4 + 3)];
}

bool ON_NurbsCurve::MakeClampedUniformKnotVector() {
  if (m_order < 2 || m_cv_count < m_order) return false;
  m_knot = zem::ClampedUniformKnots(m_order, m_cv_count);
  return true;
}

ON_Interval ON_NurbsCurve::Domain() const {
  if (!zem::IsValidKnotVector(m_order, m_cv_count, m_knot)) return {0, 0};
  return {m_knot[static_cast<std::size_t>(m_order - 2)], m_knot[static_cast<std::size_t>(m_cv_count - 1)]};
}

bool ON_NurbsCurve::Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const {
  if (!IsValid()) return false;
  const int stride = m_is_rat ? 4 : 3;
  const int span = zem::FindSpan(m_order, m_cv_count, m_knot, t);
  double values[kMaxOrder], ders[kMaxOrder];
  zem::BasisFunctions(m_order, m_knot, span, t, values, ders);
  double a[4] = {0, 0, 0, 0}, da[4] = {0, 0, 0, 0};
  for (int j = 0; j < m_order; ++j) {
    const double* cv = &m_cv[static_cast<std::size_t>((span + j) * stride)];
    for (int k = 0; k < stride; ++k) {
      a[k] += values[j] * cv[k];
      da[k] += ders[j] * cv[k];
    }
  }
  if (!m_is_rat) {
    point = {a[0], a[1], a[2]};
    derivative = {da[0], da[1], da[2]};
    return true;
  }
  const double w = a[3], dw = da[3];
  if (w == 0) return false;
  point = {a[0] / w, a[1] / w, a[2] / w};
  derivative = {(da[0] - dw * point.x) / w, (da[1] - dw * point.y) / w, (da[2] - dw * point.z) / w};
  return true;
}

void ON_NurbsCurve::GetSpanVector(ON_SimpleArray<double>& spans) const {
  spans.Empty();
  if (!zem::IsValidKnotVector(m_order, m_cv_count, m_knot)) return;
  for (double t : zem::SpanBreaks(m_order, m_cv_count, m_knot)) spans.Append(t);
}

bool ON_NurbsCurve::IsValid() const {
  if (m_dim != 3 || m_order < 2 || m_order > kMaxOrder || m_cv_count < m_order) return false;
  const int stride = m_is_rat ? 4 : 3;
  if (static_cast<int>(m_cv.size()) != m_cv_count * stride) return false;
  if (!zem::IsValidKnotVector(m_order, m_cv_count, m_knot)) return false;
  for (std::size_t i = 0; i < m_cv.size(); ++i) {
    if (!std::isfinite(m_cv[i])) return false;
    if (m_is_rat && i % 4 == 3 && !(m_cv[i] > 0)) return false;
  }
  return true;
}

ON_BoundingBox ON_NurbsCurve::BoundingBox() const {
  ON_BoundingBox box;
  ON_3dPoint p;
  for (int i = 0; i < m_cv_count; ++i) {
    if (GetCV(i, p)) box.Set(p, true);
  }
  return box;
}
