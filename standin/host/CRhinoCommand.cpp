#include "standin/host/CRhinoCommand.h"

#include "standin/host/CRhinoApp.h"

CRhinoCommand::CRhinoCommand(bool transparent, bool doNotRepeat, const CRhinoPlugIn* plugIn, bool testCommand)
    : m_transparent(transparent), m_doNotRepeat(doNotRepeat), m_plugIn(plugIn), m_testCommand(testCommand) {
  RhinoApp().RegisterCommand(this);
}

CRhinoCommand::~CRhinoCommand() { RhinoApp().UnregisterCommand(this); }
