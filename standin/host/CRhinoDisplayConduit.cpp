#include "standin/host/CRhinoDisplayConduit.h"

#include "standin/host/CRhinoApp.h"

CRhinoDisplayConduit::CRhinoDisplayConduit(CSupportChannels channels, bool enabled)
    : m_channels(channels), m_enabled(enabled) {
  RhinoApp().AddConduit(this);
}

CRhinoDisplayConduit::~CRhinoDisplayConduit() { RhinoApp().RemoveConduit(this); }

bool CRhinoDisplayConduit::Enable() {
  m_enabled = true;
  return true;
}

bool CRhinoDisplayConduit::Disable() {
  m_enabled = false;
  return true;
}
