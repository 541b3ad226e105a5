#pragma once
// A plane with an orthonormal frame.
#include "standin/host/ON_Point.h"

class ON_Plane {
 public:
  ON_3dPoint origin;
  ON_3dVector xaxis = ON_3dVector::XAxis;
  ON_3dVector yaxis = ON_3dVector::YAxis;
  ON_3dVector zaxis = ON_3dVector::ZAxis;

  ON_Plane() = default;
  // The plane through the origin with the given normal; the x axis follows
  // `xDirection` when that is not parallel to the normal.
  ON_Plane(const ON_3dPoint& o, const ON_3dVector& normal, const ON_3dVector& xDirection = ON_3dVector::XAxis);
  bool IsValid() const;
  ON_3dPoint PointAt(double s, double t) const { return origin + s * xaxis + t * yaxis; }
};
