#include "page/DataFunctions.h"

#include <cmath>

#include "page/PageFormat.h"
#include "page/ZEM_WebGLExport.h"

namespace zem {

namespace {

// A number the viewer's script can read: never "nan" or "inf".
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

bool WriteMaterialRecord(ZEM_WebGLExport& page, const MaterialRecord& record) {
  if (!page.IsOpen()) return false;
  // The fields in record order (page_format::MaterialField): 3 + 12 numbers.
  static_assert(page_format::kMaterialRecordSize == 15 && page_format::kTextureNumber == 14);
  const Rgb& d = record.diffuse;
  const Rgb specular = record.shine < 1.0f ? Rgb{} : record.specular;
  const Rgb& r = record.reflection;
  page.FormatNumbers("mat.push(%g,%g,%g,", {d.red, d.green, d.blue});
  page.FormatNumbers("%g,%g,%g,%g,%g,%g,%g,%g,%g,%g,%g,%g);\n",
                     {specular.red, specular.green, specular.blue, r.red, r.green, r.blue, record.reflectivity,
                      record.transparency, record.refraction, record.shine, static_cast<double>(record.textureMode),
                      static_cast<double>(record.textureNumber)});
  return true;
}

bool WriteInitTexturesFunction(ZEM_WebGLExport& page) {
  if (!page.IsOpen()) return false;
  page.WriteRawNarrow(page_format::kInitTextures);
  page.WriteRawNarrow("{ ");
  for (int i = 0; i < page.ImageCount(); ++i) {
    page.WriteFormatted(
        L"var t%d = gl.createTexture(); textures.push(t%d);gl.bindTexture(gl.TEXTURE_2D, t%d);"
        L"gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, document.getElementById(\"tex%d\"));"
        L"gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);"
        L"gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR_MIPMAP_NEAREST);"
        L"gl.generateMipmap(gl.TEXTURE_2D);",
        {i, i, i, i + 1});
  }
  page.WriteRaw(L"}\n");
  return true;
}

bool WriteInitCurvesHead(ZEM_WebGLExport& page) {
  if (!page.IsOpen()) return false;
  page.WriteRawNarrow(page_format::kInitCurves);
  page.WriteRawNarrow("{\n");
  return true;
}

bool WriteCurveData(ZEM_WebGLExport& page, BufferNumbers& numbers, std::span<const double> points, const Rgb& colour) {
  if (!page.IsOpen()) return false;
  page.FormatNumbers("cols.push(%g,%g,%g);", {colour.red, colour.green, colour.blue});
  const int n = numbers.NextCurveBuffer();
  page.FormatNumbers("var v%d=new Float32Array([", {static_cast<double>(n)});
  int written = 0;
  for (std::size_t i = 0; i + 3 <= points.size(); i += 3) {
    const double x = points[i], y = points[i + 1], z = points[i + 2];
    // A point that is not finite would stop the viewer's script.
    if (!(std::isfinite(x) && std::isfinite(y) && std::isfinite(z))) continue;
    ++written;
    page.FormatNumbers("%g,%g,%g,", {x, y, z});
    const float f[3] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    page.ExtendBounds(f);
  }
  page.FormatNumbers(
      "]);lbl.push(%d);var b%d=gl.createBuffer();lbuff.push(b%d);gl.bindBuffer(gl.ARRAY_BUFFER,b%d);"
      "gl.bufferData(gl.ARRAY_BUFFER,v%d,gl.STATIC_DRAW);",
      {static_cast<double>(written), static_cast<double>(n), static_cast<double>(n), static_cast<double>(n),
       static_cast<double>(n)});
  page.WriteRawNarrow(page_format::CurveAttributeCall());
  page.WriteRawNarrow("\n");
  return true;
}

bool WriteInitDotsFunction(ZEM_WebGLExport& page) {
  if (!page.IsOpen()) return false;
  page.WriteRawNarrow(page_format::kInitDots);
  page.WriteRawNarrow("{\n");
  for (const auto& dot : page.Dots()) {
    page.FormatNumbers("dtpts.push(%g,%g,%g);", {dot.point[0], dot.point[1], dot.point[2]});
  }
  page.WriteRaw(L"};");
  return true;
}

bool WriteInitViewFunction(ZEM_WebGLExport& page, const CameraRecord& camera) {
  if (!page.IsOpen()) return false;
  const float* eye = camera.eye;
  const float* target = camera.target;
  const float* x = camera.cameraX;
  const float* up = camera.cameraUp;
  page.WriteRawNarrow(page_format::kInitView);
  page.WriteRawNarrow("{ ");
  page.FormatNumbers(
      "veye.x=%g;veye.y=%g;veye.z=%g;vtar.x=%g;vtar.y=%g;vtar.z=%g;",
      {Finite(eye[0]), Finite(eye[1]), Finite(eye[2]), Finite(target[0]), Finite(target[1]), Finite(target[2])});
  page.FormatNumbers("vx.x=%g;vx.y=%g;vx.z=%g;vy.x=%g;vy.y=%g;vy.z=%g;return %g};",
                     {Finite(x[0]), Finite(x[1]), Finite(x[2]), Finite(up[0]), Finite(up[1]), Finite(up[2]),
                      Finite(static_cast<double>(camera.angle) / page_format::kAngleHalfTurn * 360)});
  return true;
}

bool WriteInitBackFunction(ZEM_WebGLExport& page, const BackgroundCorners& corners) {
  if (!page.IsOpen()) return false;
  const Rgb& tl = corners.topLeft;
  const Rgb& bl = corners.bottomLeft;
  const Rgb& tr = corners.topRight;
  const Rgb& br = corners.bottomRight;
  page.WriteRawNarrow(page_format::kInitBack);
  page.WriteRawNarrow("{");
  page.FormatNumbers("tlc.x=%g;tlc.y=%g;tlc.z=%g;blc.x=%g;blc.y=%g;blc.z=%g;",
                     {tl.red, tl.green, tl.blue, bl.red, bl.green, bl.blue});
  page.FormatNumbers("trc.x=%g;trc.y=%g;trc.z=%g;brc.x=%g;brc.y=%g;brc.z=%g;};",
                     {tr.red, tr.green, tr.blue, br.red, br.green, br.blue});
  return true;
}

}  // namespace zem
