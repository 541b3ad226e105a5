#pragma once
// The plug-in object: its identity, its version (the build's date and time)
// and its load sequence, which shows the toolbar "ZEM WebGL" from the file
// "ZEM_WEBGL.tb" unless the environment has ZEM_DEV (any value, even empty).
// The file is looked for next to the module, then in "Toolbars" two and
// three folders above it.
#include "standin/host/CRhinoPlugIn.h"

class CRhino_WebGLPlugIn : public CRhinoUtilityPlugIn {
 public:
  CRhino_WebGLPlugIn();
  ~CRhino_WebGLPlugIn() override;

  ON_UUID PlugInID() const override;
  const wchar_t* PlugInName() const override;
  const wchar_t* PlugInVersion() const override;
  int OnLoadPlugIn() override;
  // Opens the plug-in's help file, then answers what the host's own does.
  BOOL OnDisplayPlugInHelp(HWND window) const override;

  // "Mmm dd yyyy  hh:mm:ss", as the compiler wrote the build's date and time.
  ON_wString m_version;

 private:
  void ShowToolBar() const;
};

// The module's plug-in object.
CRhino_WebGLPlugIn& WebGLPlugIn();
