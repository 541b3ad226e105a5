#include "plugin/ZEM_AboutDialog.h"

#include "ZemVersion.h"
#include "page/PageLinks.h"
#include "page/TextFormat.h"
#include "standin/platform/Controls.h"
#include "standin/platform/Resources.h"
#include "plugin/CRhino_WebGLPlugIn.h"

namespace {

constexpr UINT kAboutTemplate = 3001;

// Registered once, for the plug-in's module.
UINT AboutTemplate() {
  static const UINT id = [] {
    zem::DialogTemplate about;
    about.cx = 220;
    about.cy = 78;
    about.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    about.exStyle = WS_EX_DLGMODALFRAME;
    about.items = {
        {L"Static", L"", ZEM_AboutDialog::kProductText, WS_VISIBLE | SS_LEFT, RECT{10, 8, 210, 18}},
        {L"Static", L"", ZEM_AboutDialog::kVersionText, WS_VISIBLE | SS_LEFT, RECT{10, 22, 210, 32}},
        {L"Static", L"", ZEM_AboutDialog::kPageText, WS_VISIBLE | SS_LEFT, RECT{10, 36, 210, 46}},
        {L"Button", L"Ok", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, RECT{160, 56, 210, 70}},
    };
    zem::RegisterDialogTemplate(AfxGetStaticModuleState()->m_hCurrentInstanceHandle, kAboutTemplate, about);
    return kAboutTemplate;
  }();
  return id;
}

}  // namespace

ZEM_AboutDialog::ZEM_AboutDialog(CWnd* parent, const wchar_t* productName)
    : CDialog(AboutTemplate(), parent), m_productName(productName ? productName : L"") {}

BOOL ZEM_AboutDialog::OnInitDialog() {
  ::SetWindowTextW(m_hWnd, (L"About " + m_productName).c_str());
  ::SetWindowTextW(GetDlgItemHandle(kProductText), m_productName.c_str());
  const std::wstring version = zem::FormatText(
      L"Version %d.%d.%d, built %s",
      {ZEM_VERSION_MAJOR, ZEM_VERSION_MINOR, ZEM_VERSION_BUILD, std::wstring(WebGLPlugIn().PlugInVersion())});
  ::SetWindowTextW(GetDlgItemHandle(kVersionText), version.c_str());
  ::SetWindowTextW(GetDlgItemHandle(kPageText), zem::kProductPage);
  return TRUE;
}
