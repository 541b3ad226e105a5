#include "standin/host/ON_Plane.h"

#include <cmath>

ON_Plane::ON_Plane(const ON_3dPoint& o, const ON_3dVector& normal, const ON_3dVector& xDirection) : origin(o) {
  zaxis = normal;
  if (!zaxis.Unitize()) zaxis = ON_3dVector::ZAxis;
  ON_3dVector x = xDirection - ON_DotProduct(xDirection, zaxis) * zaxis;
  if (!x.Unitize() || x.Length() < 0.5) {
    // Any direction across the normal.
    ON_3dVector helper = std::fabs(zaxis.x) < 0.9 ? ON_3dVector::XAxis : ON_3dVector::YAxis;
    x = helper - ON_DotProduct(helper, zaxis) * zaxis;
    x.Unitize();
  }
  xaxis = x;
  yaxis = ON_CrossProduct(zaxis, xaxis);
}

bool ON_Plane::IsValid() const {
  return origin.IsValid() && std::fabs(xaxis.Length() - 1) < 1e-9 && std::fabs(yaxis.Length() - 1) < 1e-9 &&
         std::fabs(ON_DotProduct(xaxis, yaxis)) < 1e-9;
}
