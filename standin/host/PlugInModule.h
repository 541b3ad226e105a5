#pragma once
// A plug-in module linked into the program. The module's translation unit
// constructs one PlugInModule first, with the module's file name (as it
// would be installed), its instance handle and its exported identification
// functions; the plug-in object constructed next belongs to it. The host's
// loader finds the module by the file name of the path it is given.
#include <initializer_list>
#include <string_view>
#include <string>
#include <vector>

#include "standin/platform/Modules.h"

class CRhinoPlugIn;
struct zemPlugInLoader;

namespace zem {

struct PlugInExport {
  const char* name;
  FARPROC function;
};

class PlugInModule {
 public:
  PlugInModule(const wchar_t* fileName, HMODULE handle, std::initializer_list<PlugInExport> exports);
  ~PlugInModule();
  PlugInModule(const PlugInModule&) = delete;
  PlugInModule& operator=(const PlugInModule&) = delete;

  const std::wstring& FileName() const { return m_fileName; }
  HMODULE Handle() const { return m_handle; }
  // The exported function of that name, or null.
  FARPROC Export(const char* name) const;
  CRhinoPlugIn* PlugIn() const { return m_plugIn; }
  bool IsLoaded() const { return m_loaded; }

  // The registered module of that file name (compared without case), or null.
  static PlugInModule* Find(std::wstring_view fileName);

  // A plug-in object being constructed belongs to the module registered
  // last, unless that one has its plug-in already; a plug-in object being
  // destroyed leaves its module.
  static void AdoptPlugIn(CRhinoPlugIn& plugIn);
  static void ForgetPlugIn(const CRhinoPlugIn& plugIn);

 private:
  friend struct ::zemPlugInLoader;
  std::wstring m_fileName;
  HMODULE m_handle;
  std::vector<PlugInExport> m_exports;
  CRhinoPlugIn* m_plugIn = nullptr;
  bool m_loaded = false;
};

}  // namespace zem
