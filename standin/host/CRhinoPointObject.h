#pragma once
// A point object; it has no wireframe curves.
#include "standin/host/CRhinoObject.h"

class CRhinoPointObject : public CRhinoObject {
 public:
  explicit CRhinoPointObject(const ON_3dPoint& point) : m_point(point) {}
  ON::object_type ObjectType() const override { return ON::point_object; }
  ON_BoundingBox BoundingBox() const override {
    ON_BoundingBox box;
    box.Set(m_point, false);
    return box;
  }
  const ON_3dPoint& Point() const { return m_point; }

 private:
  ON_3dPoint m_point;
};
