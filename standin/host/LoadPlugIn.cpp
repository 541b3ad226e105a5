#include "standin/host/LoadPlugIn.h"

#include <string_view>

#include "standin/host/PlugInModule.h"
#include "standin/platform/ModuleFileName.h"
#include "standin/platform/NativePath.h"

// The loader's access to the modules and plug-in objects.
struct zemPlugInLoader {
  static void SetFileName(CRhinoPlugIn& plugIn, const std::wstring& path) { plugIn.m_fileName = path; }
  static void SetLoaded(zem::PlugInModule& module, bool loaded) { module.m_loaded = loaded; }
};

namespace zem {
namespace {

template <typename Result>
bool ReadExport(const PlugInModule& module, const char* name, Result& value, std::wstring& missing) {
  FARPROC function = module.Export(name);
  if (function == nullptr) {
    if (missing.empty()) missing = std::wstring(name, name + std::char_traits<char>::length(name));
    return false;
  }
  value = reinterpret_cast<Result (*)()>(reinterpret_cast<void (*)()>(function))();
  return true;
}

bool ReadText(const PlugInModule& module, const char* name, std::wstring& value, std::wstring& missing) {
  const wchar_t* text = nullptr;
  if (!ReadExport(module, name, text, missing)) return false;
  value = text ? text : L"";
  return true;
}

}  // namespace

PlugInLoadResult LoadPlugIn(const std::wstring& path) {
  PlugInLoadResult result;
  const std::wstring fileName(zem::FileNamePart(path));
  PlugInModule* module = PlugInModule::Find(fileName);
  if (module == nullptr) {
    result.error = L"Unable to load plug-in " + path + L": no plug-in module of that name.";
    return result;
  }
  if (module->IsLoaded()) {
    result.error = L"Unable to load plug-in " + path + L": the plug-in is already loaded.";
    return result;
  }
  PlugInIdentification& id = result.identification;
  std::wstring missing;
  // The version first: a module of another SDK may lack the other exports.
  if (ReadExport(*module, "RhinoPlugInSdkVersion", id.sdkVersion, missing) && id.sdkVersion != kHostSdkVersion) {
    result.error = L"Unable to load plug-in " + path + L": it was built with SDK version " +
                   std::to_wstring(id.sdkVersion) + L", and this host loads plug-ins of SDK version " +
                   std::to_wstring(kHostSdkVersion) + L".";
    return result;
  }
  bool complete = missing.empty();
  complete &= ReadExport(*module, "RhinoPlugInSdkServiceRelease", id.sdkServiceRelease, missing);
  complete &= ReadText(*module, "RhinoPlugInDeveloperOrganization", id.organization, missing);
  complete &= ReadText(*module, "RhinoPlugInDeveloperAddress", id.address, missing);
  complete &= ReadText(*module, "RhinoPlugInDeveloperCountry", id.country, missing);
  complete &= ReadText(*module, "RhinoPlugInDeveloperPhone", id.phone, missing);
  complete &= ReadText(*module, "RhinoPlugInDeveloperFax", id.fax, missing);
  complete &= ReadText(*module, "RhinoPlugInDeveloperEmail", id.email, missing);
  complete &= ReadText(*module, "RhinoPlugInDeveloperWebsite", id.website, missing);
  complete &= ReadText(*module, "RhinoPlugInUpdateURL", id.updateUrl, missing);
  if (!complete) {
    result.error = L"Unable to load plug-in " + path + L": it does not export " + missing + L".";
    return result;
  }
  CRhinoPlugIn* plugIn = module->PlugIn();
  if (plugIn == nullptr) {
    result.error = L"Unable to load plug-in " + path + L": the module has no plug-in object.";
    return result;
  }
  zem::SetModuleFileName(module->Handle(), path);
  zemPlugInLoader::SetFileName(*plugIn, path);
  zemPlugInLoader::SetLoaded(*module, true);
  result.plugIn = plugIn;
  result.onLoadResult = plugIn->OnLoadPlugIn();
  result.loaded = result.onLoadResult > 0;
  if (!result.loaded) {
    zemPlugInLoader::SetLoaded(*module, false);
    if (result.onLoadResult < 0) result.error = L"Unable to load plug-in " + path + L": the plug-in refused to load.";
  }
  return result;
}

void UnloadPlugIn(const std::wstring& path) {
  if (PlugInModule* module = PlugInModule::Find(zem::FileNamePart(path))) zemPlugInLoader::SetLoaded(*module, false);
}

}  // namespace zem
