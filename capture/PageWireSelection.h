#pragma once
// Which objects give the page their wire curves: curve objects when the
// display shows curves, meshes and breps when it shows either kind of wire,
// every other object always. The curve writer and the export dialog's size
// estimate both select with it, so the estimate counts what the page holds.
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoObject.h"

namespace zem {

bool PageTakesWires(const CRhinoObject& object, const CDisplayPipelineAttributes& display);

}  // namespace zem
