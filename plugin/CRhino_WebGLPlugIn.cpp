#include "plugin/CRhino_WebGLPlugIn.h"

#include <cstdlib>
#include <string>

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoUiToolBarManager.h"
#include "standin/platform/ModuleState.h"
#include "standin/platform/ShellPath.h"
#include "plugin/HelpLocation.h"

namespace {

constexpr const wchar_t* kToolBarFile = L"ZEM_WEBGL.tb";
constexpr const wchar_t* kToolBarName = L"ZEM WebGL";

// The places of the toolbar file, relative to the module's folder, in the
// order they are tried.
constexpr const wchar_t* kToolBarFolders[] = {L"", L"..\\..\\Toolbars\\", L"..\\..\\..\\Toolbars\\"};

// The build's date and time, "Mmm dd yyyy  hh:mm:ss".
#ifdef ZEM_BUILD_STAMP
constexpr const wchar_t* kBuildStamp = L"" ZEM_BUILD_STAMP;
#else
constexpr const wchar_t* kBuildStamp = L"" __DATE__ "  " __TIME__;
#endif

}  // namespace

CRhino_WebGLPlugIn::CRhino_WebGLPlugIn() : m_version(kBuildStamp) {}

CRhino_WebGLPlugIn::~CRhino_WebGLPlugIn() = default;

ON_UUID CRhino_WebGLPlugIn::PlugInID() const {
  // {98B1C4CF-B471-49EE-B7FA-C9652A990A9B}
  return ON_UUID{0x98B1C4CF, 0xB471, 0x49EE, {0xB7, 0xFA, 0xC9, 0x65, 0x2A, 0x99, 0x0A, 0x9B}};
}

const wchar_t* CRhino_WebGLPlugIn::PlugInName() const { return L"ZEM WebGL Export"; }

const wchar_t* CRhino_WebGLPlugIn::PlugInVersion() const { return m_version; }

int CRhino_WebGLPlugIn::OnLoadPlugIn() {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  // Developers run without the toolbar; set but empty counts as set.
  if (std::getenv("ZEM_DEV") == nullptr) ShowToolBar();
  return CRhinoUtilityPlugIn::OnLoadPlugIn();
}

void CRhino_WebGLPlugIn::ShowToolBar() const {
  ON_wString fileName;
  GetPlugInFileName(fileName);
  // Each part is at most as long as the whole path.
  const std::size_t room = fileName.size() + 1;
  std::wstring drive(room, L'\0'), folder(room, L'\0');
  _wsplitpath(fileName.c_str(), drive.data(), folder.data(), nullptr, nullptr);
  drive.resize(std::wcslen(drive.c_str()));
  folder.resize(std::wcslen(folder.c_str()));

  CRhinoUiToolBarManager& manager = RhinoApp().RhinoUiToolBarManager();
  std::wstring path;
  bool read = false;
  for (const wchar_t* relative : kToolBarFolders) {
    path = drive + folder + relative + kToolBarFile;
    if (manager.ReadFile(path.c_str(), true, true, true)) {
      read = true;
      break;
    }
  }
  if (!read) return;
  const CRhinoUiToolBarCollection* collection = manager.Collection(manager.CollectionIndex(path.c_str(), false));
  if (collection == nullptr) return;
  CRhinoUiToolBar* toolbar = collection->ToolBar(collection->FindToolBar(kToolBarName, false));
  if (toolbar == nullptr) return;
  manager.ShowToolBar(*collection, *toolbar, true, false);
}

BOOL CRhino_WebGLPlugIn::OnDisplayPlugInHelp(HWND window) const {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  zem::OpenHelp(zem::HelpAddress(false));
  return CRhinoUtilityPlugIn::OnDisplayPlugInHelp(window);
}
