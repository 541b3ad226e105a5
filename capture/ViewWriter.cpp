#include "capture/ViewWriter.h"

#include <cmath>

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoView.h"
#include "page/PageFormat.h"
#include "page/ZEM_WebGLExport.h"

namespace {

// A number the viewer's script can read: never "nan" or "inf".
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

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

bool WriteInitView(ZEM_WebGLExport& writer, const float eye[3], const float target[3], const float cameraX[3],
                   const float cameraUp[3], float angle) {
  if (!writer.IsOpen()) return false;
  writer.WriteRawNarrow(zem::page_format::kInitView);
  writer.WriteRawNarrow("{ ");
  writer.FormatNumbers(
      "veye.x=%g;veye.y=%g;veye.z=%g;vtar.x=%g;vtar.y=%g;vtar.z=%g;",
      {Finite(eye[0]), Finite(eye[1]), Finite(eye[2]), Finite(target[0]), Finite(target[1]), Finite(target[2])});
  writer.FormatNumbers(
      "vx.x=%g;vx.y=%g;vx.z=%g;vy.x=%g;vy.y=%g;vy.z=%g;return %g};",
      {Finite(cameraX[0]), Finite(cameraX[1]), Finite(cameraX[2]), Finite(cameraUp[0]), Finite(cameraUp[1]),
       Finite(cameraUp[2]), Finite(static_cast<double>(angle) / zem::page_format::kAngleHalfTurn * 360)});
  return true;
}

bool WriteInitBack(ZEM_WebGLExport& writer, int mode, ON_Color c0, ON_Color c1, ON_Color c2, ON_Color c3) {
  if (!writer.IsOpen()) return false;
  ON_Color tl = c0, bl = c1, tr = c2, br = c3;
  if (mode == 2) {
    bl = tr = br = c0;
  } else if (mode == 3) {
    tr = c0;
    br = c1;
  }
  auto r = [](ON_Color c) { return c.FractionRed(); };
  auto g = [](ON_Color c) { return c.FractionGreen(); };
  auto b = [](ON_Color c) { return c.FractionBlue(); };
  writer.WriteRawNarrow(zem::page_format::kInitBack);
  writer.WriteRawNarrow("{");
  writer.FormatNumbers("tlc.x=%g;tlc.y=%g;tlc.z=%g;blc.x=%g;blc.y=%g;blc.z=%g;",
                       {r(tl), g(tl), b(tl), r(bl), g(bl), b(bl)});
  writer.FormatNumbers("trc.x=%g;trc.y=%g;trc.z=%g;brc.x=%g;brc.y=%g;brc.z=%g;};",
                       {r(tr), g(tr), b(tr), r(br), g(br), b(br)});
  return true;
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
