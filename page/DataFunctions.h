#pragma once
// The statements of the page's data functions besides the mesh buffers
// (MeshData.h): the material records inside initVB, initTextures,
// initCurves, initDots, initView and initBack, from plain numbers and
// records. page/viewer/viewer.js calls these functions; PageFormat.h holds
// the names and numbers both sides share; docs/page-format.md describes
// them. Every writer does nothing and answers false while no page is open.
#include <span>

class ZEM_WebGLExport;

namespace zem {

// The numbers that name the buffers of initVB and initCurves (v1, b1, ...).
// Each counter goes on for as long as its owner lives and is never reset
// (docs/page-format.md says what this means for a page written after
// others); the two are separate.
class BufferNumbers {
 public:
  int NextMeshBuffer() { return ++m_mesh; }
  int NextCurveBuffer() { return ++m_curve; }

 private:
  int m_mesh = 0;
  int m_curve = 0;
};

// A colour as the page takes it: red, green and blue fractions 0..1.
struct Rgb {
  double red = 0, green = 0, blue = 0;
};

// One material record of mat, field by field (page_format::MaterialField).
struct MaterialRecord {
  Rgb diffuse;
  Rgb specular;  // written black when shine is below 1
  Rgb reflection;
  float reflectivity = 0;
  float transparency = 0;
  float refraction = 1;
  float shine = 0;  // the exponent 0..128
  int textureMode = 0;
  int textureNumber = -1;  // index into textures, -1 for none
};

// One "mat.push(...);" line.
bool WriteMaterialRecord(ZEM_WebGLExport& page, const MaterialRecord& record);

// initTextures: one WebGL texture per texture picture of the page, in slot
// order (texture i reads the element tex<i + 1>).
bool WriteInitTexturesFunction(ZEM_WebGLExport& page);

// "function initCurves(...){" and a line feed; the box line closes it.
bool WriteInitCurvesHead(ZEM_WebGLExport& page);
// One polyline as one curve buffer (never split), from x, y, z per point;
// points that are not finite are left out, every other widens the page's
// box.
bool WriteCurveData(ZEM_WebGLExport& page, BufferNumbers& numbers, std::span<const double> points, const Rgb& colour);

// What the standard page spends, in bytes, per curve and per polyline point:
// the export dialog's estimate of the page size.
inline constexpr double kEstimateBytesPerCurve = 270.0;
inline constexpr double kEstimateBytesPerCurvePoint = 25.0;

// initDots from the page's stored dots, in label order.
bool WriteInitDotsFunction(ZEM_WebGLExport& page);

// The camera as initView takes it. cameraX is unit length (or zero); angle
// is the host's half view angle in radians.
struct CameraRecord {
  float eye[3] = {0, 0, 0};
  float target[3] = {0, 0, 0};
  float cameraX[3] = {0, 0, 0};
  float cameraUp[3] = {0, 0, 0};
  float angle = 0;
};
// initView; the angle returned to the viewer is angle / kAngleHalfTurn *
// 360 degrees. Values that are not finite are written as 0.
bool WriteInitViewFunction(ZEM_WebGLExport& page, const CameraRecord& camera);

// The background's four corner colours.
struct BackgroundCorners {
  Rgb topLeft, bottomLeft, topRight, bottomRight;
};
bool WriteInitBackFunction(ZEM_WebGLExport& page, const BackgroundCorners& corners);

}  // namespace zem
