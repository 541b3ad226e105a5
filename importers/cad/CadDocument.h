#pragma once
// Turns a CAD scene (see CadScene.h) into host objects: one polysurface per
// body and colour of every instance, its render mesh and edges placed where
// the instance is; free curves and points; a layer per top-level part; one
// material per distinct colour and transparency.
#include "importers/ModelReport.h"
#include "importers/cad/CadScene.h"

#include <string>

class CRhinoDoc;

namespace zem::cad {

// The look of parts the file gives no colour: a neutral grey, dark edges.
inline constexpr CadColour kNeutralGrey{190, 190, 190, 1};
inline constexpr CadColour kDarkEdges{40, 40, 40, 1};

// Fills the empty document `doc` and gives it the default views, the
// Perspective view Rendered with the edges shown. False (with the reason)
// for a placement that puts a point beyond single precision or a scene with
// nothing to show.
bool BuildCadDocument(const CadScene& scene, const std::wstring& title, CRhinoDoc& doc, ModelReport& report);

}  // namespace zem::cad
