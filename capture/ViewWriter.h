#pragma once
// The page's camera (initView) and viewport background (initBack), from a
// view and its display mode to the page's text. (The preview picture is
// ZEM_Rhino_WebGLExport's, in PreviewImage.cpp.)
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/ON_Color.h"

class CRhinoView;
class ZEM_WebGLExport;

namespace zem {

// Writes initView for the view's active viewport: its camera, the camera's
// right axis made unit length, and its half angle.
void WriteView(ZEM_WebGLExport& writer, const CRhinoView& view);

// Writes initBack for the display mode's background: the application's
// viewport colour (default mode), the solid colour, or the gradient corners.
void WriteBackground(ZEM_WebGLExport& writer, const CDisplayPipelineAttributes& display);

// Makes v unit length in single precision; a zero vector stays as it is.
void NormaliseInPlace(float v[3]);

// Writes initView. cameraX must be unit length (or zero); the view angle
// returned to the viewer is angle / zem::page_format::kAngleHalfTurn * 360 degrees. Values that are
// not finite are written as 0. False when no page is open.
bool WriteInitView(ZEM_WebGLExport& writer, const float eye[3], const float target[3], const float cameraX[3],
                   const float cameraUp[3], float angle);

// Writes initBack: mode 2 gives all four corners c0; mode 3 a vertical
// gradient from c0 (top) to c1 (bottom); any other mode the corners c0 to
// c3 (top left, bottom left, top right, bottom right). False when no page
// is open.
bool WriteInitBack(ZEM_WebGLExport& writer, int mode, ON_Color c0, ON_Color c1, ON_Color c2, ON_Color c3);

}  // namespace zem
