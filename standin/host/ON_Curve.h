#pragma once
// A parametric curve in three dimensions.
#include "standin/host/ON.h"
#include "standin/host/ON_BoundingBox.h"
#include "standin/host/ON_Interval.h"
#include "standin/host/ON_Point.h"
#include "standin/host/ON_SimpleArray.h"

class ON_Curve {
 public:
  virtual ~ON_Curve() = default;
  virtual ON_Curve* DuplicateCurve() const = 0;
  ON::object_type ObjectType() const { return ON::curve_object; }

  virtual ON_Interval Domain() const = 0;
  // Point and first derivative at parameter t.
  virtual bool Ev1Der(double t, ON_3dPoint& point, ON_3dVector& derivative) const = 0;
  virtual int Degree() const = 0;
  // The parameters where the curve may have kinks or change its polynomial
  // piece, from the start of the domain to its end (SpanCount() + 1 values).
  virtual void GetSpanVector(ON_SimpleArray<double>& spans) const;
  virtual bool IsValid() const = 0;
  // A box that holds the whole curve (the control hull's box for splines).
  virtual ON_BoundingBox BoundingBox() const = 0;

  ON_3dPoint PointAt(double t) const;
  ON_3dVector TangentAt(double t) const;
  ON_3dPoint PointAtStart() const { return PointAt(Domain()[0]); }
  ON_3dPoint PointAtEnd() const { return PointAt(Domain()[1]); }
  bool IsClosed() const;
};
