#include "standin/platform/AfxControls.h"

BOOL CToolTipCtrl::Create(CWnd* parent) {
  if (m_hWnd || !parent || !::IsWindow(parent->m_hWnd)) return FALSE;
  HWND window = zem::CreateWindowObject(L"tooltips_class32", L"", WS_POPUP, RECT{});
  if (!window) return FALSE;
  zem::SetWindowOwner(window, parent->m_hWnd);
  return Attach(window);
}

BOOL CToolTipCtrl::AddTool(HWND tool, const std::wstring& text) {
  TOOLINFOW info;
  info.uFlags = TTF_IDISHWND;
  info.hwnd = ::GetParent(tool);
  info.uId = reinterpret_cast<std::uintptr_t>(tool);
  info.lpszText = const_cast<LPWSTR>(text.c_str());
  return static_cast<BOOL>(SendMessageW(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}
