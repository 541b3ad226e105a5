#include "standin/host/ON_NurbsSurface.h"

#include "standin/host/BSplineBasis.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kMaxOrder = 64;
}

ON_NurbsSurface::ON_NurbsSurface(bool isRational, int orderU, int orderV, int cvCountU, int cvCountV)
    : m_is_rat(isRational), m_order{orderU, orderV}, m_cv_count{cvCountU, cvCountV} {
  if (orderU < 2 || orderV < 2 || cvCountU < orderU || cvCountV < orderV) return;
  const int stride = isRational ? 4 : 3;
  m_cv.assign(static_cast<std::size_t>(cvCountU * cvCountV * stride), 0.0);
  if (isRational) {
    for (std::size_t k = 3; k < m_cv.size(); k += 4) m_cv[k] = 1.0;
  }
  m_knot[0] = zem::ClampedUniformKnots(orderU, cvCountU);
  m_knot[1] = zem::ClampedUniformKnots(orderV, cvCountV);
}

bool ON_NurbsSurface::SetCV(int i, int j, const ON_3dPoint& point, double weight) {
  if (i < 0 || j < 0 || i >= m_cv_count[0] || j >= m_cv_count[1]) return false;
  const int stride = m_is_rat ? 4 : 3;
  double* cv = &m_cv[static_cast<std::size_t>((i * m_cv_count[1] + j) * stride)];
  const double w = m_is_rat ? weight : 1.0;
  cv[0] = point.x * w, cv[1] = point.y * w, cv[2] = point.z * w;
  if (m_is_rat) cv[3] = w;
  return true;
}

bool ON_NurbsSurface::GetCV(int i, int j, ON_3dPoint& point) const {
  if (i < 0 || j < 0 || i >= m_cv_count[0] || j >= m_cv_count[1]) return false;
  const int stride = m_is_rat ? 4 : 3;
  const double* cv = &m_cv[static_cast<std::size_t>((i * m_cv_count[1] + j) * stride)];
  const double w = m_is_rat ? cv[3] : 1.0;
  if (w == 0) return false;
  point = {cv[0] / w, cv[1] / w, cv[2] / w};
  return true;
}

ON_Interval ON_NurbsSurface::Domain(int dir) const {
  const int d = dir ? 1 : 0;
  if (!zem::IsValidKnotVector(m_order[d], m_cv_count[d], m_knot[d])) return {0, 0};
  return {m_knot[d][static_cast<std::size_t>(m_order[d] - 2)], m_knot[d][static_cast<std::size_t>(m_cv_count[d] - 1)]};
}

bool ON_NurbsSurface::IsValid() const {
  for (int d = 0; d < 2; ++d) {
    if (m_order[d] < 2 || m_order[d] > kMaxOrder) return false;
    if (!zem::IsValidKnotVector(m_order[d], m_cv_count[d], m_knot[d])) return false;
  }
  const int stride = m_is_rat ? 4 : 3;
  if (static_cast<long long>(m_cv.size()) != static_cast<long long>(m_cv_count[0]) * m_cv_count[1] * stride)
    return false;
  for (std::size_t k = 0; k < m_cv.size(); ++k) {
    if (!std::isfinite(m_cv[k])) return false;
    if (m_is_rat && k % 4 == 3 && !(m_cv[k] > 0)) return false;
  }
  return true;
}

bool ON_NurbsSurface::Ev1Der(double u, double v, ON_3dPoint& point, ON_3dVector& du, ON_3dVector& dv) const {
  const int stride = m_is_rat ? 4 : 3;
  const int su = zem::FindSpan(m_order[0], m_cv_count[0], m_knot[0], u);
  const int sv = zem::FindSpan(m_order[1], m_cv_count[1], m_knot[1], v);
  double nu[kMaxOrder], dnu[kMaxOrder], nv[kMaxOrder], dnv[kMaxOrder];
  zem::BasisFunctions(m_order[0], m_knot[0], su, u, nu, dnu);
  zem::BasisFunctions(m_order[1], m_knot[1], sv, v, nv, dnv);
  double a[4] = {0, 0, 0, 0}, au[4] = {0, 0, 0, 0}, av[4] = {0, 0, 0, 0};
  for (int i = 0; i < m_order[0]; ++i) {
    for (int j = 0; j < m_order[1]; ++j) {
      const double* cv = &m_cv[static_cast<std::size_t>(((su + i) * m_cv_count[1] + (sv + j)) * stride)];
      for (int k = 0; k < stride; ++k) {
        a[k] += nu[i] * nv[j] * cv[k];
        au[k] += dnu[i] * nv[j] * cv[k];
        av[k] += nu[i] * dnv[j] * cv[k];
      }
    }
  }
  if (!m_is_rat) {
    point = {a[0], a[1], a[2]};
    du = {au[0], au[1], au[2]};
    dv = {av[0], av[1], av[2]};
    return true;
  }
  const double w = a[3];
  if (w == 0) return false;
  point = {a[0] / w, a[1] / w, a[2] / w};
  du = {(au[0] - au[3] * point.x) / w, (au[1] - au[3] * point.y) / w, (au[2] - au[3] * point.z) / w};
  dv = {(av[0] - av[3] * point.x) / w, (av[1] - av[3] * point.y) / w, (av[2] - av[3] * point.z) / w};
  return true;
}

ON_BoundingBox ON_NurbsSurface::BoundingBox() const {
  ON_BoundingBox box;
  ON_3dPoint p;
  for (int i = 0; i < m_cv_count[0]; ++i) {
    for (int j = 0; j < m_cv_count[1]; ++j) {
      if (GetCV(i, j, p)) box.Set(p, true);
    }
  }
  return box;
}

std::unique_ptr<ON_NurbsCurve> ON_NurbsSurface::IsoCurve(int dir, double c) const {
  if (!IsValid()) return nullptr;
  // dir 0: u = c fixed, the curve follows v; its control points blend the
  // rows of the net with the u basis at c.
  const int fixed = dir ? 1 : 0, free = 1 - fixed;
  const int stride = m_is_rat ? 4 : 3;
  const int span = zem::FindSpan(m_order[fixed], m_cv_count[fixed], m_knot[fixed], c);
  double n[kMaxOrder];
  zem::BasisFunctions(m_order[fixed], m_knot[fixed], span, c, n, nullptr);
  auto curve = std::make_unique<ON_NurbsCurve>(3, true, m_order[free], m_cv_count[free]);
  curve->m_knot = m_knot[free];
  for (int k = 0; k < m_cv_count[free]; ++k) {
    double h[4] = {0, 0, 0, 0};
    for (int a = 0; a < m_order[fixed]; ++a) {
      const int i = fixed == 0 ? span + a : k;
      const int j = fixed == 0 ? k : span + a;
      const double* cv = &m_cv[static_cast<std::size_t>((i * m_cv_count[1] + j) * stride)];
      for (int q = 0; q < 3; ++q) h[q] += n[a] * cv[q];
      h[3] += n[a] * (m_is_rat ? cv[3] : 1.0);
    }
    for (int q = 0; q < 4; ++q) curve->m_cv[static_cast<std::size_t>(k * 4 + q)] = h[q];
  }
  return curve;
}

bool ON_NurbsSurface::Tessellate(ON_Mesh& mesh, int density, int maxSamples) const {
  mesh.Destroy();
  if (!IsValid()) return false;
  std::vector<double> params[2];
  for (int d = 0; d < 2; ++d) {
    std::vector<double> breaks = zem::SpanBreaks(m_order[d], m_cv_count[d], m_knot[d]);
    const int spans = static_cast<int>(breaks.size()) - 1;
    const int perSpan = std::max(1, std::min(density, (maxSamples - 1) / std::max(spans, 1)));
    if (spans <= 0) return false;
    if (spans + 1 > maxSamples) {
      // Too many spans: sample the domain evenly instead.
      for (int k = 0; k < maxSamples; ++k)
        params[d].push_back(breaks.front() + (breaks.back() - breaks.front()) * k / (maxSamples - 1));
      continue;
    }
    for (int s = 0; s < spans; ++s) {
      for (int k = 0; k < perSpan; ++k)
        params[d].push_back(breaks[static_cast<std::size_t>(s)] +
                            (breaks[static_cast<std::size_t>(s + 1)] - breaks[static_cast<std::size_t>(s)]) * k /
                                perSpan);
    }
    params[d].push_back(breaks.back());
  }
  const int nu = static_cast<int>(params[0].size()), nv = static_cast<int>(params[1].size());
  const ON_Interval du = Domain(0), dv = Domain(1);
  mesh.m_V.Reserve(nu * nv);
  mesh.m_N.Reserve(nu * nv);
  mesh.m_T.Reserve(nu * nv);
  for (int i = 0; i < nu; ++i) {
    for (int j = 0; j < nv; ++j) {
      const double u = params[0][static_cast<std::size_t>(i)], v = params[1][static_cast<std::size_t>(j)];
      ON_3dPoint p;
      ON_3dVector pu, pv;
      Ev1Der(u, v, p, pu, pv);
      ON_3dVector normal = ON_CrossProduct(pu, pv);
      if (!normal.Unitize()) {
        // A collapsed edge (a pole): look a little inside the surface.
        const double eu = u + (u < du.Max() ? 1 : -1) * 1e-6 * du.Length();
        const double ev = v + (v < dv.Max() ? 1 : -1) * 1e-6 * dv.Length();
        ON_3dPoint q;
        Ev1Der(eu, ev, q, pu, pv);
        normal = ON_CrossProduct(pu, pv);
        if (!normal.Unitize()) normal = ON_3dVector::ZAxis;
      }
      // A surface reaching beyond single precision has no render mesh: its
      // vertices could not be drawn.
      const ON_3fPoint vertex(p);
      const ON_3fVector vertexNormal(normal);
      if (!std::isfinite(vertex.x) || !std::isfinite(vertex.y) || !std::isfinite(vertex.z) ||
          !std::isfinite(vertexNormal.x) || !std::isfinite(vertexNormal.y) || !std::isfinite(vertexNormal.z)) {
        mesh.Destroy();
        return false;
      }
      mesh.m_V.Append(vertex);
      mesh.m_N.Append(vertexNormal);
      mesh.m_T.Append(
          ON_2fPoint(static_cast<float>((u - du[0]) / du.Length()), static_cast<float>((v - dv[0]) / dv.Length())));
    }
  }
  mesh.m_F.Reserve((nu - 1) * (nv - 1));
  for (int i = 0; i + 1 < nu; ++i) {
    for (int j = 0; j + 1 < nv; ++j) {
      const int a = i * nv + j, b = (i + 1) * nv + j, c = (i + 1) * nv + j + 1, d = i * nv + j + 1;
      mesh.m_F.Append(ON_MeshFace{{a, b, c, d}});
    }
  }
  return true;
}
