#include "capture/PageWireSelection.h"

namespace zem {

bool PageTakesWires(const CRhinoObject& object, const CDisplayPipelineAttributes& display) {
  switch (object.ObjectType()) {
    case ON::curve_object:
      return display.m_bShowCurves;
    case ON::mesh_object:
    case ON::brep_object:
      return display.m_bShowSurfaceWires || display.m_bShowMeshWires;
    default:
      return true;
  }
}

}  // namespace zem
