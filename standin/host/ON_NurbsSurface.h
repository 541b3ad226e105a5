#pragma once
// A non-uniform rational B-spline surface. Control point (i, j) is row i in
// the first (u) direction and column j in the second (v); rational control
// points are stored homogeneously.
#include "standin/host/ON_BoundingBox.h"
#include "standin/host/ON_Interval.h"
#include "standin/host/ON_Mesh.h"
#include "standin/host/ON_NurbsCurve.h"

#include <memory>
#include <vector>

class ON_NurbsSurface {
 public:
  ON_NurbsSurface() = default;
  ON_NurbsSurface(bool isRational, int orderU, int orderV, int cvCountU, int cvCountV);

  bool SetCV(int i, int j, const ON_3dPoint& point, double weight = 1.0);
  bool GetCV(int i, int j, ON_3dPoint& point) const;
  ON_Interval Domain(int dir) const;
  // Point and the two first partial derivatives.
  bool Ev1Der(double u, double v, ON_3dPoint& point, ON_3dVector& du, ON_3dVector& dv) const;
  bool IsValid() const;
  ON_BoundingBox BoundingBox() const;

  // The curve of constant parameter c in direction dir (0: u is constant, the
  // curve runs along v; 1: v is constant), exact.
  std::unique_ptr<ON_NurbsCurve> IsoCurve(int dir, double c) const;
  // A grid mesh with normals and texture coordinates (the parameters scaled
  // to 0..1), `density` samples per knot span, at most `maxSamples` per
  // direction.
  bool Tessellate(ON_Mesh& mesh, int density = 8, int maxSamples = 256) const;

  bool m_is_rat = false;
  int m_order[2] = {0, 0};
  int m_cv_count[2] = {0, 0};
  std::vector<double> m_knot[2];
  std::vector<double> m_cv;  // (i * m_cv_count[1] + j) * stride
};
