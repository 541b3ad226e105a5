#pragma once
// The host's plug-in loader.
#include <string>

#include "standin/host/CRhinoPlugIn.h"

namespace zem {

// The SDK version this host loads plug-ins of.
inline constexpr int kHostSdkVersion = 200612060;

// What a plug-in module says about itself through its exported functions.
struct PlugInIdentification {
  int sdkVersion = 0;
  int sdkServiceRelease = 0;
  std::wstring organization, address, country, phone, fax, email, website, updateUrl;
};

struct PlugInLoadResult {
  bool loaded = false;
  int onLoadResult = 0;  // what OnLoadPlugIn answered (0 when it was not called)
  std::wstring error;    // why the plug-in was not loaded, for the user
  CRhinoPlugIn* plugIn = nullptr;
  PlugInIdentification identification;
};

// Loads the plug-in module whose file name is the file name of `path`: reads
// its ten identification exports, refuses a module built for another SDK
// version, makes `path` the module's file name and the plug-in's, and calls
// the plug-in's OnLoadPlugIn. A module is loaded once: loading it again is
// refused until UnloadPlugIn.
PlugInLoadResult LoadPlugIn(const std::wstring& path);

// Forgets that the module of `path` was loaded (the objects stay; their file
// name stays too), so it can be loaded again from another place.
void UnloadPlugIn(const std::wstring& path);

}  // namespace zem
