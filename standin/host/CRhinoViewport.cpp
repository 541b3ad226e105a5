#include "standin/host/CRhinoViewport.h"

bool CRhinoViewport::SetVP(const ON_Viewport& vp) {
  // The viewport keeps its own id.
  const ON_UUID id = m_vp.ViewportId();
  m_vp = vp;
  m_vp.SetViewportId(id);
  return true;
}
