#include "standin/host/RhinoConvertCurveToPolyline.h"

#include "standin/host/ON_ArcCurve.h"
#include "standin/host/ON_LineCurve.h"
#include "standin/host/ON_NurbsCurve.h"

#include <gtest/gtest.h>

namespace {

// The conversion as the wire export calls it.
ON_PolylineCurve Convert(const ON_Curve& curve, int* result = nullptr) {
  ON_PolylineCurve out;
  int r = RhinoConvertCurveToPolyline(curve, 0, 0, 0.25, 1.0, 0, 0, 0, 0, &out, true, nullptr);
  if (result) *result = r;
  return out;
}

double LargestTurn(const ON_Curve& curve, const ON_PolylineCurve& p) {
  double largest = 0;
  for (int i = 0; i + 1 < p.PointCount(); ++i) {
    ON_3dVector a = curve.TangentAt(p.m_t[i]), b = curve.TangentAt(p.m_t[i + 1]);
    largest = std::max(largest, std::acos(std::clamp(ON_DotProduct(a, b), -1.0, 1.0)));
  }
  return largest;
}

TEST(PolylineConversion, LinesAndPolylinesKeepEveryCorner) {
  int result = 0;
  ON_PolylineCurve line = Convert(ON_LineCurve(ON_3dPoint(0, 0, 0), ON_3dPoint(5, 1, 2)), &result);
  EXPECT_EQ(result, 1);
  ASSERT_EQ(line.PointCount(), 2);
  EXPECT_EQ(line.m_pline[1], ON_3dPoint(5, 1, 2));
  ON_Polyline points;
  for (const ON_3dPoint& p : {ON_3dPoint(0, 0, 0), ON_3dPoint(1, 0, 0), ON_3dPoint(1, 1, 0), ON_3dPoint(2, 1, 0)})
    points.Append(p);
  ON_PolylineCurve polyline = Convert(ON_PolylineCurve(points));
  ASSERT_EQ(polyline.PointCount(), 4);
  EXPECT_EQ(polyline.m_pline[2], ON_3dPoint(1, 1, 0));
}

TEST(PolylineConversion, ACircleIsSplitEvenlyByTheAngle) {
  // ceil(2 pi / 0.25) = 26 segments, closed: 27 points.
  for (double radius : {0.01, 1.0, 1000.0}) {
    ON_ArcCurve circle{ON_Circle(ON_3dPoint(0, 0, 0), radius)};
    ON_PolylineCurve p = Convert(circle);
    ASSERT_EQ(p.PointCount(), 27) << "radius " << radius;
    EXPECT_NEAR(p.m_pline[0].DistanceTo(p.m_pline[26]), 0, 1e-9 * radius);
    EXPECT_LE(LargestTurn(circle, p), 0.25 + 1e-12);
  }
}

TEST(PolylineConversion, AnInvalidCurveFailsWithAnEmptyPolyline) {
  ON_NurbsCurve broken(3, false, 4, 4);
  broken.m_knot = {0, 1, 0, 1, 2, 3};  // decreasing
  ON_PolylineCurve p;
  p.m_pline.Append({1, 1, 1});
  EXPECT_EQ(RhinoConvertCurveToPolyline(broken, 0, 0, 0.25, 1.0, 0, 0, 0, 0, &p), 0);
  EXPECT_EQ(p.PointCount(), 0);
  EXPECT_EQ(RhinoConvertCurveToPolyline(broken, 0, 0, 0.25, 1.0, 0, 0, 0, 0, nullptr), 0);
}

TEST(PolylineConversion, AHostileAngleIsBounded) {
  ON_ArcCurve circle{ON_Circle(ON_3dPoint(0, 0, 0), 1)};
  ON_PolylineCurve p;
  EXPECT_EQ(RhinoConvertCurveToPolyline(circle, 0, 0, 1e-300, 1.0, 0, 0, 0, 0, &p), 1);
  EXPECT_LE(p.PointCount(), 1 << 20);
}

}  // namespace
