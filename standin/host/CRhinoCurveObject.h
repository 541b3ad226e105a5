#pragma once
// A curve object; its wireframe curve is the curve itself.
#include "standin/host/CRhinoObject.h"

#include <memory>

class CRhinoCurveObject : public CRhinoObject {
 public:
  explicit CRhinoCurveObject(std::unique_ptr<ON_Curve> curve) : m_curve(std::move(curve)) {}

  ON::object_type ObjectType() const override { return ON::curve_object; }
  ON_BoundingBox BoundingBox() const override { return m_curve->BoundingBox(); }
  int GetWireframeCurves(ON_SimpleArray<ON_Curve*>& curves) const override {
    curves.Append(m_curve->DuplicateCurve());
    return 1;
  }
  const ON_Curve* Curve() const { return m_curve.get(); }

 private:
  std::unique_ptr<ON_Curve> m_curve;
};
