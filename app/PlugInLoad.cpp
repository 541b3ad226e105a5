#include "app/PlugInLoad.h"

#include "standin/host/LoadPlugIn.h"
#include "standin/host/PlugInModule.h"
#include "standin/platform/ModuleFileName.h"
#include "standin/platform/TextEncoding.h"

namespace zem::app {

namespace {
constexpr const wchar_t* kModuleFile = L"ZEM_Rhino_WebGL.rhp";
}

bool EnsurePlugInLoaded(std::ostream& err) {
  const PlugInModule* module = PlugInModule::Find(kModuleFile);
  if (module && module->IsLoaded()) return true;
  std::wstring folder = ModuleFileName(nullptr);
  const auto slash = folder.find_last_of(L"\\/");
  folder.erase(slash == std::wstring::npos ? 0 : slash + 1);
  const PlugInLoadResult result = LoadPlugIn(folder + kModuleFile);
  if (!result.loaded) err << "zem-webgl: " << ToUtf8(result.error) << "\n";
  return result.loaded;
}

}  // namespace zem::app
