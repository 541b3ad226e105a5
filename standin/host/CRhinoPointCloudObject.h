#pragma once
// A point cloud object; it has no wireframe curves.
#include "standin/host/CRhinoObject.h"

class CRhinoPointCloudObject : public CRhinoObject {
 public:
  explicit CRhinoPointCloudObject(ON_SimpleArray<ON_3dPoint> points) : m_points(std::move(points)) {}
  ON::object_type ObjectType() const override { return ON::pointset_object; }
  ON_BoundingBox BoundingBox() const override {
    ON_BoundingBox box;
    for (const ON_3dPoint& p : m_points) box.Set(p, true);
    return box;
  }
  const ON_SimpleArray<ON_3dPoint>& Points() const { return m_points; }

 private:
  ON_SimpleArray<ON_3dPoint> m_points;
};
