#pragma once
// The views a CAD user gets for a new model: Perspective (first, in the
// given display mode), Top, Front and Right (Wireframe), each zoomed to the
// extents of the visible objects.
class CRhinoDoc;

namespace zem {

void AddDefaultViews(CRhinoDoc& doc, const wchar_t* perspectiveMode = L"Rendered");

}  // namespace zem
