#include "host/CRhinoEventWatcher.h"

#include "host/CRhinoApp.h"

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
