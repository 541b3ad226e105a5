#pragma once
// Application settings the display reads.
#include "standin/host/ON_Color.h"

class CRhinoAppSettings {
 public:
  ON_Color ViewportBackgroundColor() const { return m_viewportBackground; }
  void SetViewportBackgroundColor(ON_Color color) { m_viewportBackground = color; }

 private:
  ON_Color m_viewportBackground{160, 160, 160};
};
