#include "standin/host/CRhinoPlugIn.h"

#include "standin/host/PlugInModule.h"

CRhinoPlugIn::CRhinoPlugIn() { zem::PlugInModule::AdoptPlugIn(*this); }

CRhinoPlugIn::~CRhinoPlugIn() { zem::PlugInModule::ForgetPlugIn(*this); }

int CRhinoPlugIn::OnLoadPlugIn() { return 1; }

BOOL CRhinoPlugIn::OnDisplayPlugInHelp(HWND) const { return FALSE; }
