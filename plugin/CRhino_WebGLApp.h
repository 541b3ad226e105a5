#pragma once
// The plug-in module's application object. It is constructed without a
// name, so it takes its module's: its profile (the dialogs' window
// placement) is "ZEM_Rhino_WebGL.ini".
#include "standin/platform/CWinApp.h"

class CRhino_WebGLApp : public CWinApp {
 public:
  CRhino_WebGLApp();
  ~CRhino_WebGLApp() override;
};
