#include "capture/ViewWriter.h"

#include <algorithm>
#include <cmath>

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoView.h"
#include "page/DataFunctions.h"
#include "page/ZEM_WebGLExport.h"

namespace {

void Float3(const ON_3dPoint& p, float out[3]) {
  out[0] = static_cast<float>(p.x), out[1] = static_cast<float>(p.y), out[2] = static_cast<float>(p.z);
}
void Float3(const ON_3dVector& v, float out[3]) {
  out[0] = static_cast<float>(v.x), out[1] = static_cast<float>(v.y), out[2] = static_cast<float>(v.z);
}

}  // namespace

void zem::NormaliseInPlace(float v[3]) {
  const float squared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
  const float length = std::sqrt(squared);
  if (squared > 0 && length > 0) {
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
  }
}

bool zem::WriteInitView(ZEM_WebGLExport& writer, const float eye[3], const float target[3], const float cameraX[3],
                        const float cameraUp[3], float angle) {
  zem::CameraRecord camera;
  std::copy_n(eye, 3, camera.eye);
  std::copy_n(target, 3, camera.target);
  std::copy_n(cameraX, 3, camera.cameraX);
  std::copy_n(cameraUp, 3, camera.cameraUp);
  camera.angle = angle;
  return zem::WriteInitViewFunction(writer, camera);
}

bool zem::WriteInitBack(ZEM_WebGLExport& writer, int mode, ON_Color c0, ON_Color c1, ON_Color c2, ON_Color c3) {
  ON_Color tl = c0, bl = c1, tr = c2, br = c3;
  if (mode == 2) {
    bl = tr = br = c0;
  } else if (mode == 3) {
    tr = c0;
    br = c1;
  }
  auto rgb = [](ON_Color c) { return zem::Rgb{c.FractionRed(), c.FractionGreen(), c.FractionBlue()}; };
  return zem::WriteInitBackFunction(writer, zem::BackgroundCorners{rgb(tl), rgb(bl), rgb(tr), rgb(br)});
}

void zem::WriteView(ZEM_WebGLExport& writer, const CRhinoView& view) {
  const ON_Viewport& vp = view.Viewport().VP();
  double halfAngle = 0;
  vp.GetCameraAngle(&halfAngle);
  float eye[3], target[3], x[3], up[3];
  Float3(vp.CameraLocation(), eye);
  Float3(vp.TargetPoint(), target);
  Float3(vp.CameraX(), x);
  Float3(vp.CameraUp(), up);
  NormaliseInPlace(x);
  WriteInitView(writer, eye, target, x, up, static_cast<float>(halfAngle));
}

void zem::WriteBackground(ZEM_WebGLExport& writer, const CDisplayPipelineAttributes& display) {
  switch (display.BackgroundFillMode()) {
    case CDisplayPipelineAttributes::FBFM_DEFAULT_COLOR: {
      const ON_Color c = RhinoApp().AppSettings().ViewportBackgroundColor();
      WriteInitBack(writer, 2, c, c, c, c);
      break;
    }
    case CDisplayPipelineAttributes::FBFM_SOLID_COLOR:
      WriteInitBack(writer, 2, display.m_SolidColor, display.m_GradBotLeft, display.m_GradTopRight,
                    display.m_GradBotRight);
      break;
    default:
      WriteInitBack(writer, display.BackgroundFillMode(), display.m_GradTopLeft, display.m_GradBotLeft,
                    display.m_GradTopRight, display.m_GradBotRight);
  }
}
