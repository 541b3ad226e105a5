#pragma once
// A plug-in: the object through which the host talks to a plug-in module.
// Constructing it makes it the plug-in object of the module registered last
// (zem::PlugInModule, constructed just before it in the module's own
// translation unit); the host's loader (LoadPlugIn.h) gives it its file name
// and calls OnLoadPlugIn.
#include "standin/host/ON_UUID.h"
#include "standin/host/ON_wString.h"
#include "standin/platform/WinTypes.h"

class CRhinoPlugIn {
 public:
  enum plugin_type {
    unknown_plugin_type = 0,
    render_plugin = 1,
    file_import_plugin = 2,
    file_export_plugin = 4,
    digitizer_plugin = 8,
    utility_plugin = 16,
  };

  CRhinoPlugIn();
  CRhinoPlugIn(const CRhinoPlugIn&) = delete;
  CRhinoPlugIn& operator=(const CRhinoPlugIn&) = delete;
  virtual ~CRhinoPlugIn();

  virtual ON_UUID PlugInID() const = 0;
  virtual const wchar_t* PlugInName() const = 0;
  virtual const wchar_t* PlugInVersion() const = 0;
  virtual plugin_type PlugInType() const = 0;

  // Called once when the host loads the plug-in. 1: loaded; 0: not loaded,
  // silently; -1: not loaded, and the host reports it. The host's own
  // answers 1.
  virtual int OnLoadPlugIn();
  // The host's request to show the plug-in's help. The host has no help of
  // its own for a plug-in and answers FALSE.
  virtual BOOL OnDisplayPlugInHelp(HWND window) const;

  // The path of the module file the plug-in was loaded from (empty before).
  void GetPlugInFileName(ON_wString& fileName) const { fileName = m_fileName; }
  const wchar_t* PlugInFileName() const { return m_fileName.c_str(); }

 private:
  friend struct zemPlugInLoader;
  ON_wString m_fileName;
};

class CRhinoUtilityPlugIn : public CRhinoPlugIn {
 public:
  plugin_type PlugInType() const override { return utility_plugin; }
};
