#pragma once
// An axis-aligned box; empty until a point is added.
#include "standin/host/ON_Point.h"

#include <algorithm>

class ON_BoundingBox {
 public:
  ON_3dPoint m_min{1, 1, 1};
  ON_3dPoint m_max{-1, -1, -1};

  bool IsValid() const { return m_min.x <= m_max.x && m_min.y <= m_max.y && m_min.z <= m_max.z; }
  void Set(const ON_3dPoint& p, bool grow) {
    if (!grow || !IsValid()) {
      m_min = m_max = p;
      return;
    }
    m_min = {std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z)};
    m_max = {std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z)};
  }
  void Union(const ON_BoundingBox& b) {
    if (!b.IsValid()) return;
    Set(b.m_min, true);
    Set(b.m_max, true);
  }
  ON_3dPoint Center() const { return {(m_min.x + m_max.x) / 2, (m_min.y + m_max.y) / 2, (m_min.z + m_max.z) / 2}; }
  double Diagonal() const { return IsValid() ? (m_max - m_min).Length() : 0; }
};
