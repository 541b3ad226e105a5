#pragma once
// The component library as the export uses it: per-thread initialisation,
// class and interface identifiers, IUnknown and creating an object of a
// known class. The only class on offer is the shell application
// (Shell.Application, see ShellZipFolder.h).
#include <cstdint>

#include "standin/platform/WinTypes.h"

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using LPVOID = void*;

// Macros, as the system headers have them (a second definition of the same
// value elsewhere in the stand-ins does no harm).
#ifndef S_OK
#define S_OK static_cast<HRESULT>(0)
#endif
#ifndef S_FALSE
#define S_FALSE static_cast<HRESULT>(1)
#endif
#ifndef E_FAIL
#define E_FAIL static_cast<HRESULT>(0x80004005u)
#endif
#ifndef E_NOINTERFACE
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002u)
#endif
#ifndef E_POINTER
#define E_POINTER static_cast<HRESULT>(0x80004003u)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG static_cast<HRESULT>(0x80070057u)
#endif
#ifndef E_OUTOFMEMORY
#define E_OUTOFMEMORY static_cast<HRESULT>(0x8007000Eu)
#endif
#ifndef CLASS_E_NOAGGREGATION
#define CLASS_E_NOAGGREGATION static_cast<HRESULT>(0x80040110u)
#endif
#ifndef REGDB_E_CLASSNOTREG
#define REGDB_E_CLASSNOTREG static_cast<HRESULT>(0x80040154u)
#endif
#ifndef CO_E_NOTINITIALIZED
#define CO_E_NOTINITIALIZED static_cast<HRESULT>(0x800401F0u)
#endif
#ifndef RPC_E_CHANGED_MODE
#define RPC_E_CHANGED_MODE static_cast<HRESULT>(0x80010106u)
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#endif
#ifndef FAILED
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#endif

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using CLSID = GUID;
using IID = GUID;
using REFCLSID = const CLSID&;
using REFIID = const IID&;

bool operator==(const GUID& a, const GUID& b);

extern const IID IID_IUnknown;

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

// Class contexts.
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;

// Apartment models of CoInitializeEx.
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr DWORD COINIT_MULTITHREADED = 0x0;

// S_OK for the first initialisation of the calling thread, S_FALSE for a
// further one in the same model (both must be balanced by CoUninitialize),
// RPC_E_CHANGED_MODE when the thread already runs in the other model (that
// one must not be balanced).
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD model);
// Balances one successful initialisation of the calling thread.
void CoUninitialize();

// Creates an object of a known class and answers the asked interface.
// CO_E_NOTINITIALIZED on a thread that is not initialised.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, LPVOID* object);

namespace zem {
// How many successful initialisations of the calling thread are not yet
// balanced; an unbalanced CoUninitialize makes this negative.
int ComInitializationDepth();
}  // namespace zem
