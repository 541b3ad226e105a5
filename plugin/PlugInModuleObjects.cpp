// The plug-in module's module-level objects, in the order they come into
// being (and, reversed, go): the host watcher's factory for the model event
// handler, the module (its window-library state and its
// registration with the host, with the exported identification), the
// plug-in object, the export command, the application object. This file is
// linked whole, so none of them is left out for want of a reference.
#include "core/ZEM_EventHandler.h"
#include "core/ZEM_RhModelEventHandler.h"
#include "standin/host/PlugInModule.h"
#include "standin/platform/ModuleState.h"
#include "plugin/CCommandZEMWriteWebGL.h"
#include "plugin/CRhino_WebGLApp.h"
#include "plugin/CRhino_WebGLPlugIn.h"
#include "plugin/PlugInExports.h"

namespace {

template <typename Function>
FARPROC Exported(Function function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

const bool theHostWatcherFactory =
    ZEM_ModelEventHandler::SetHostWatcherFactory(&ZEM_RhModelEventHandler::InstallForProcess);

zem::PlugInModule theModule(L"ZEM_Rhino_WebGL.rhp", AfxGetStaticModuleState()->m_hCurrentInstanceHandle,
                            {
                                {"RhinoPlugInSdkVersion", Exported(&RhinoPlugInSdkVersion)},
                                {"RhinoPlugInSdkServiceRelease", Exported(&RhinoPlugInSdkServiceRelease)},
                                {"RhinoPlugInDeveloperOrganization", Exported(&RhinoPlugInDeveloperOrganization)},
                                {"RhinoPlugInDeveloperAddress", Exported(&RhinoPlugInDeveloperAddress)},
                                {"RhinoPlugInDeveloperCountry", Exported(&RhinoPlugInDeveloperCountry)},
                                {"RhinoPlugInDeveloperPhone", Exported(&RhinoPlugInDeveloperPhone)},
                                {"RhinoPlugInDeveloperFax", Exported(&RhinoPlugInDeveloperFax)},
                                {"RhinoPlugInDeveloperEmail", Exported(&RhinoPlugInDeveloperEmail)},
                                {"RhinoPlugInDeveloperWebsite", Exported(&RhinoPlugInDeveloperWebsite)},
                                {"RhinoPlugInUpdateURL", Exported(&RhinoPlugInUpdateURL)},
                            });

CRhino_WebGLPlugIn thePlugIn;

// Constructing the command registers it with the host.
CCommandZEMWriteWebGL theWriteWebGLCommand;

CRhino_WebGLApp theApp;

}  // namespace

CRhino_WebGLPlugIn& WebGLPlugIn() { return thePlugIn; }
CCommandZEMWriteWebGL& WriteWebGLCommand() { return theWriteWebGLCommand; }
