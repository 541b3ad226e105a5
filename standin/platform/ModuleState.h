#pragma once
// The window library's module state: which module's resources (dialog
// templates, icons, bitmaps) are found while code runs. The host program has
// a state of its own, and so has the plug-in module that links the framework.
// Every entry from the host into the plug-in's user interface switches to the
// plug-in's state for its duration with AFX_MANAGE_STATE, as in:
//
//   AFX_MANAGE_STATE(AfxGetStaticModuleState());
//
// The current state is per thread; a thread starts in the host program's.
#include "standin/platform/Modules.h"

struct AFX_MODULE_STATE {
  // The module's instance handle; resources are registered under it.
  HINSTANCE m_hCurrentInstanceHandle;
  // Where resources are looked up while this state is current.
  HINSTANCE m_hCurrentResourceHandle;
};

// The state current on this thread.
AFX_MODULE_STATE* AfxGetModuleState();
// The plug-in module's own state (the module that links the framework).
AFX_MODULE_STATE* AfxGetStaticModuleState();
// The host program's state.
AFX_MODULE_STATE* AfxGetAppModuleState();

// The current state's instance and resource handles.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

// Makes a state current for the lifetime of the object, then restores the
// one before, however the scope is left.
class AFX_MAINTAIN_STATE2 {
 public:
  explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
  ~AFX_MAINTAIN_STATE2();
  AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
  AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

 private:
  AFX_MODULE_STATE* previous_;
};

#define AFX_MANAGE_STATE(state) AFX_MAINTAIN_STATE2 zemManagedModuleState_(state)
