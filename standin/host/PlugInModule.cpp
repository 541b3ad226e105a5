#include "standin/host/PlugInModule.h"

#include <algorithm>
#include <cwctype>
#include <string_view>

#include "standin/platform/NativePath.h"

namespace {

std::vector<zem::PlugInModule*>& Modules() {
  static std::vector<zem::PlugInModule*> modules;
  return modules;
}

}  // namespace

void zem::PlugInModule::AdoptPlugIn(CRhinoPlugIn& plugIn) {
  auto& modules = Modules();
  if (!modules.empty() && modules.back()->m_plugIn == nullptr) modules.back()->m_plugIn = &plugIn;
}

void zem::PlugInModule::ForgetPlugIn(const CRhinoPlugIn& plugIn) {
  for (PlugInModule* module : Modules()) {
    if (module->m_plugIn == &plugIn) module->m_plugIn = nullptr;
  }
}

zem::PlugInModule::PlugInModule(const wchar_t* fileName, HMODULE handle, std::initializer_list<PlugInExport> exports)
    : m_fileName(fileName ? fileName : L""), m_handle(handle), m_exports(exports) {
  Modules().push_back(this);
}

zem::PlugInModule::~PlugInModule() { std::erase(Modules(), this); }

FARPROC zem::PlugInModule::Export(const char* name) const {
  for (const auto& entry : m_exports) {
    if (name && std::string_view(entry.name) == name) return entry.function;
  }
  return nullptr;
}

zem::PlugInModule* zem::PlugInModule::Find(std::wstring_view fileName) {
  const std::wstring wanted = zem::FoldedPath(fileName);
  for (PlugInModule* module : Modules()) {
    if (zem::FoldedPath(module->m_fileName) == wanted) return module;
  }
  return nullptr;
}
