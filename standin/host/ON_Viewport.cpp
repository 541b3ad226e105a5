#include "standin/host/ON_Viewport.h"

#include <algorithm>
#include <cmath>

ON_Viewport::ON_Viewport() : m_id(ON_CreateUuid()) { SetCamera35mmLensLength(50); }

bool ON_Viewport::SetProjection(bool perspective) {
  if (perspective == m_perspective) return true;
  // Keep what is seen at the target's distance about the same.
  const double d = std::max((m_target - m_location).Length(), 1e-9);
  const double scale = perspective ? m_frus[4] / d : d / m_frus[4];
  for (int i = 0; i < 4; ++i) m_frus[i] *= scale;
  m_perspective = perspective;
  return true;
}

bool ON_Viewport::SetCameraLocation(const ON_3dPoint& location) {
  if (!location.IsValid()) return false;
  m_location = location;
  return true;
}

bool ON_Viewport::SetCameraDirection(const ON_3dVector& direction) {
  if (!direction.IsValid() || direction.IsZero()) return false;
  m_direction = direction;
  return true;
}

bool ON_Viewport::SetCameraUp(const ON_3dVector& up) {
  if (!up.IsValid() || up.IsZero()) return false;
  m_up = up;
  return true;
}

bool ON_Viewport::SetCamera(const ON_3dPoint& location, const ON_3dPoint& target, const ON_3dVector& up) {
  const ON_3dVector direction = target - location;
  if (!location.IsValid() || !target.IsValid() || direction.IsZero() || !up.IsValid()) return false;
  ON_3dVector u = up, d = direction;
  if (!u.Unitize() || !d.Unitize() || ON_CrossProduct(u, d).Length() < 1e-9) return false;
  m_location = location;
  m_direction = direction;
  m_target = target;
  m_up = up;
  return true;
}

ON_3dVector ON_Viewport::CameraZ() const {
  ON_3dVector z = -m_direction;
  z.Unitize();
  return z;
}

ON_3dVector ON_Viewport::CameraY() const {
  const ON_3dVector z = CameraZ();
  ON_3dVector y = m_up - ON_DotProduct(m_up, z) * z;
  if (!y.Unitize()) {
    // Up along the direction: any perpendicular will do.
    ON_3dVector helper = std::fabs(z.z) < 0.9 ? ON_3dVector::ZAxis : ON_3dVector::YAxis;
    y = helper - ON_DotProduct(helper, z) * z;
    y.Unitize();
  }
  return y;
}

ON_3dVector ON_Viewport::CameraX() const { return ON_CrossProduct(CameraY(), CameraZ()); }

bool ON_Viewport::SetFrustum(double left, double right, double bottom, double top, double nearDist, double farDist) {
  for (double v : {left, right, bottom, top, nearDist, farDist}) {
    if (!std::isfinite(v)) return false;
  }
  if (!(left < right) || !(bottom < top) || !(nearDist > 0) || !(farDist > nearDist)) return false;
  m_frus[0] = left, m_frus[1] = right, m_frus[2] = bottom, m_frus[3] = top, m_frus[4] = nearDist, m_frus[5] = farDist;
  return true;
}

bool ON_Viewport::GetFrustum(double* left, double* right, double* bottom, double* top, double* nearDist,
                             double* farDist) const {
  if (left) *left = m_frus[0];
  if (right) *right = m_frus[1];
  if (bottom) *bottom = m_frus[2];
  if (top) *top = m_frus[3];
  if (nearDist) *nearDist = m_frus[4];
  if (farDist) *farDist = m_frus[5];
  return true;
}

bool ON_Viewport::SetFrustumNearFar(double nearDist, double farDist) {
  if (!std::isfinite(nearDist) || !std::isfinite(farDist) || !(nearDist > 0) || !(farDist > nearDist)) return false;
  if (m_perspective) {
    const double s = nearDist / m_frus[4];
    for (int i = 0; i < 4; ++i) m_frus[i] *= s;
  }
  m_frus[4] = nearDist, m_frus[5] = farDist;
  return true;
}

bool ON_Viewport::SetCamera35mmLensLength(double lensLength) {
  if (!std::isfinite(lensLength) || !(lensLength > 0)) return false;
  const double aspect = ScreenPortAspect();
  const double halfSmall = 12.0 / lensLength * m_frus[4];
  double halfW = halfSmall, halfH = halfSmall;
  if (aspect >= 1) {
    halfW = halfSmall * aspect;
  } else {
    halfH = halfSmall / aspect;
  }
  if (!m_perspective) {
    const double d = std::max((m_target - m_location).Length(), 1e-9);
    halfW *= d / m_frus[4], halfH *= d / m_frus[4];
  }
  m_frus[0] = -halfW, m_frus[1] = halfW, m_frus[2] = -halfH, m_frus[3] = halfH;
  return true;
}

double ON_Viewport::Camera35mmLensLength() const {
  double halfSmallest = 0;
  GetCameraAngle(&halfSmallest);
  return halfSmallest > 0 ? 12.0 / std::tan(halfSmallest) : 0;
}

bool ON_Viewport::GetCameraAngle(double* halfDiagonal, double* halfVertical, double* halfHorizontal) const {
  const double depth = m_perspective ? m_frus[4] : std::max((m_target - m_location).Length(), 1e-9);
  const double w = std::max(std::fabs(m_frus[0]), std::fabs(m_frus[1]));
  const double h = std::max(std::fabs(m_frus[2]), std::fabs(m_frus[3]));
  if (halfDiagonal) *halfDiagonal = std::atan(std::hypot(w, h) / depth);
  if (halfVertical) *halfVertical = std::atan(h / depth);
  if (halfHorizontal) *halfHorizontal = std::atan(w / depth);
  return depth > 0;
}

bool ON_Viewport::GetCameraAngle(double* halfSmallest) const {
  double v = 0, h = 0;
  if (!GetCameraAngle(nullptr, &v, &h)) return false;
  if (halfSmallest) *halfSmallest = std::min(v, h);
  return true;
}

bool ON_Viewport::SetScreenPort(int left, int right, int bottom, int top, int nearZ, int farZ) {
  if (left == right || bottom == top) return false;
  m_port[0] = left, m_port[1] = right, m_port[2] = bottom, m_port[3] = top, m_port[4] = nearZ, m_port[5] = farZ;
  return true;
}

bool ON_Viewport::GetScreenPort(int* left, int* right, int* bottom, int* top, int* nearZ, int* farZ) const {
  if (left) *left = m_port[0];
  if (right) *right = m_port[1];
  if (bottom) *bottom = m_port[2];
  if (top) *top = m_port[3];
  if (nearZ) *nearZ = m_port[4];
  if (farZ) *farZ = m_port[5];
  return true;
}

double ON_Viewport::ScreenPortAspect() const {
  const double w = std::abs(m_port[1] - m_port[0]), h = std::abs(m_port[2] - m_port[3]);
  return h > 0 ? w / h : 1.0;
}

bool ON_Viewport::ZoomExtents(const ON_BoundingBox& box) {
  if (!box.IsValid()) return false;
  const ON_3dPoint center = box.Center();
  const double radius = std::max(box.Diagonal() / 2, 1e-6);
  double halfSmallest = 0;
  GetCameraAngle(&halfSmallest);
  ON_3dVector back = CameraZ();
  if (m_perspective) {
    // The bounding sphere touches the narrower sides of the frustum, with a
    // little margin.
    const double distance = 1.1 * radius / std::sin(std::max(halfSmallest, 1e-3));
    m_location = center + distance * back;
    m_target = center;
    SetFrustumNearFar(std::max(distance - 2 * radius, distance * 1e-3), distance + 2 * radius);
  } else {
    const double distance = 4 * radius;
    m_location = center + distance * back;
    m_target = center;
    const double aspect = ScreenPortAspect();
    const double half = 1.1 * radius;
    double halfW = half, halfH = half;
    if (aspect >= 1) {
      halfW = half * aspect;
    } else {
      halfH = half / aspect;
    }
    SetFrustum(-halfW, halfW, -halfH, halfH, distance * 1e-3, distance + 2 * radius);
  }
  return true;
}
