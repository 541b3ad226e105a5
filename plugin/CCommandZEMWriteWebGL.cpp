#include "plugin/CCommandZEMWriteWebGL.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoGet.h"
#include "standin/platform/ModuleState.h"
#include "plugin/CRhino_WebGLPlugIn.h"
#include "plugin/HelpLocation.h"
#include "plugin/ZEM_AboutDialog.h"

CCommandZEMWriteWebGL::CCommandZEMWriteWebGL() : CRhinoScriptCommand(false, false, nullptr, false) {}

CCommandZEMWriteWebGL::~CCommandZEMWriteWebGL() = default;

ON_UUID CCommandZEMWriteWebGL::CommandUUID() {
  // {9EE3A14F-EBDA-40EC-BE84-D99C353304B3}
  return ON_UUID{0x9EE3A14F, 0xEBDA, 0x40EC, {0xBE, 0x84, 0xD9, 0x9C, 0x35, 0x33, 0x04, 0xB3}};
}

const wchar_t* CCommandZEMWriteWebGL::EnglishCommandName() { return L"ZEMWriteWebGL"; }

bool CCommandZEMWriteWebGL::GetCommandHelpURL(ON_wString& url) {
  url = zem::HelpAddress(true);
  return true;
}

CRhinoCommand::result CCommandZEMWriteWebGL::RunCommand(const CRhinoCommandContext&) {
  if (RhinoApp().ActiveDoc() == nullptr) return failure;
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  const int mode = GetExportMode();
  if (mode == kAbout) {
    CWnd mainWindow(RhinoApp().MainWnd());
    ZEM_AboutDialog about(&mainWindow, WebGLPlugIn().PlugInName());
    about.DoModal();
    return success;
  }
  // The dialog is modeless: whether it could be shown, the command is done.
  ShowExportDialog(mode == kEmail);
  return success;
}

int CCommandZEMWriteWebGL::GetExportMode() {
  CRhinoGetOption get;
  get.SetCommandPrompt(L"Export Mode");
  const int file = get.AddCommandOption(RHCMDOPTNAME(L"File"));
  const int email = get.AddCommandOption(RHCMDOPTNAME(L"Email"));
  const int about = get.AddCommandOption(RHCMDOPTNAME(L"About"));
  get.SetCommandPromptDefault(L"File");
  if (get.GetOption() == CRhinoGet::option && get.Option() != nullptr) {
    const int chosen = get.Option()->m_option_index;
    if (chosen == email) return kEmail;
    if (chosen == about) return kAbout;
    if (chosen == file) return kFile;
  }
  // Enter takes the default; Escape and anything else continue as a file.
  return kFile;
}

bool CCommandZEMWriteWebGL::ShowExportDialog(bool sendByMail) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  if (m_dialog == nullptr) {
    auto* dialog = new ZEM_WebGL_Dialog(RhinoApp().MainWnd(), [this] {
      ON_wString url;
      GetCommandHelpURL(url);
      return std::wstring(url);
    });
    if (!dialog->CreateExportWindow()) {
      // Kept without a window, the dialog would be prepared (preview and
      // timer on) at every later run and never shown; try afresh instead.
      dialog->Discard();
      return false;
    }
    m_dialog = dialog;
  }
  m_dialog->ShowForExport();
  m_dialog->PrepareForShow(sendByMail);
  return true;
}
