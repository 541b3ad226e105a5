#include "app/PlugInLoad.h"

#include "host/LoadPlugIn.h"
#include "host/PlugInModule.h"
#include "platform/ModuleFileName.h"
#include "platform/TextEncoding.h"

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
