#include "standin/platform/ComObjects.h"

#include <cstring>

#include "standin/platform/ShellZipFolder.h"

// {00000000-0000-0000-C000-000000000046}
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool operator==(const GUID& a, const GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

namespace {

struct ThreadState {
  int depth = 0;  // may go below zero on unbalanced calls
  DWORD model = COINIT_APARTMENTTHREADED;
};

thread_local ThreadState state;

}  // namespace

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(LPVOID, DWORD model) {
  model &= COINIT_APARTMENTTHREADED;
  if (state.depth > 0) {
    if (state.model != model) return RPC_E_CHANGED_MODE;
    ++state.depth;
    return S_FALSE;
  }
  state.model = model;
  ++state.depth;
  return state.depth == 1 ? S_OK : S_FALSE;
}

void CoUninitialize() { --state.depth; }

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (state.depth <= 0) return CO_E_NOTINITIALIZED;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (clsid == CLSID_Shell && (context & (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER)) != 0) {
    return zem::CreateShellApplication(riid, object);
  }
  return REGDB_E_CLASSNOTREG;
}

int zem::ComInitializationDepth() { return state.depth; }
