#include "standin/host/ON_Viewport.h"

#include <gtest/gtest.h>

namespace {

TEST(CameraFrame, RefusesACameraLookingAlongItsUpVector) {
  ON_Viewport vp;
  EXPECT_FALSE(vp.SetCamera(ON_3dPoint(0, 0, 10), ON_3dPoint(0, 0, 0), ON_3dVector(0, 0, 1)));
  EXPECT_FALSE(vp.SetCamera(ON_3dPoint(0, 0, 0), ON_3dPoint(0, 0, 0), ON_3dVector(0, 0, 1)));
}

TEST(ZoomExtents, PutsTheWholeBoxInsideThePerspectiveFrustum) {
  ON_Viewport vp;
  vp.SetCamera(ON_3dPoint(1, -1, 1), ON_3dPoint(0, 0, 0), ON_3dVector(0, 0, 1));
  ON_BoundingBox box;
  box.Set({-5, -2, 0}, false);
  box.Set({5, 2, 3}, true);
  ASSERT_TRUE(vp.ZoomExtents(box));
  EXPECT_EQ(vp.TargetPoint(), box.Center());
  double half = 0;
  vp.GetCameraAngle(&half);
  for (double x : {-5.0, 5.0}) {
    for (double y : {-2.0, 2.0}) {
      for (double z : {0.0, 3.0}) {
        ON_3dVector v = ON_3dPoint(x, y, z) - vp.CameraLocation();
        const double depth = -ON_DotProduct(v, vp.CameraZ());
        EXPECT_LT(std::fabs(ON_DotProduct(v, vp.CameraX())) / depth, std::tan(half) * vp.ScreenPortAspect());
        EXPECT_LT(std::fabs(ON_DotProduct(v, vp.CameraY())) / depth, std::tan(half));
        double n = 0, f = 0;
        vp.GetFrustum(nullptr, nullptr, nullptr, nullptr, &n, &f);
        EXPECT_GT(depth, n);
        EXPECT_LT(depth, f);
      }
    }
  }
}

}  // namespace
