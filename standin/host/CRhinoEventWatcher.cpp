#include "standin/host/CRhinoEventWatcher.h"

#include "standin/host/CRhinoApp.h"

CRhinoEventWatcher::~CRhinoEventWatcher() { UnRegister(); }

void CRhinoEventWatcher::Register() {
  RhinoApp().AddWatcher(this);
  m_registered = true;
}

void CRhinoEventWatcher::UnRegister() {
  if (!m_registered) return;
  RhinoApp().RemoveWatcher(this);
  m_registered = false;
}
