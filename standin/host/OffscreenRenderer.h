#pragma once
// Renders a document as seen through a viewport, offscreen, with Mesa's
// OSMesa.
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoUiDib.h"
#include "standin/host/ON_Viewport.h"

class CRhinoDoc;

namespace zem {

struct RenderSettings {
  int width = 800;
  int height = 600;
  bool background = true;
  bool lighting = true;
  bool wires = true;
  float lineWidth = 1.0f;
  ON_Color applicationBackground{160, 160, 160};
};

// Answers false when no rendering context can be made.
bool RenderOffscreen(const CRhinoDoc& doc, const ON_Viewport& vp, const CDisplayPipelineAttributes& mode,
                     const RenderSettings& settings, CRhinoUiDib& out);

}  // namespace zem
