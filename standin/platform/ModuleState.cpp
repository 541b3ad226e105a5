#include "standin/platform/ModuleState.h"

namespace {

// Distinct, never dereferenced handle values for the two modules.
char hostModuleTag;
char pluginModuleTag;

AFX_MODULE_STATE& HostState() {
  static AFX_MODULE_STATE state{reinterpret_cast<HINSTANCE>(&hostModuleTag),
                                reinterpret_cast<HINSTANCE>(&hostModuleTag)};
  return state;
}

AFX_MODULE_STATE& PluginState() {
  static AFX_MODULE_STATE state{reinterpret_cast<HINSTANCE>(&pluginModuleTag),
                                reinterpret_cast<HINSTANCE>(&pluginModuleTag)};
  return state;
}

thread_local AFX_MODULE_STATE* current = nullptr;

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() { return current ? current : &HostState(); }
AFX_MODULE_STATE* AfxGetStaticModuleState() { return &PluginState(); }
AFX_MODULE_STATE* AfxGetAppModuleState() { return &HostState(); }

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }
HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state) : previous_(AfxGetModuleState()) { current = state; }

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() { current = previous_; }
