#include "platform/CWnd.h"

#include <map>

namespace {
std::map<UINT, POINT>& Templates() {
  static std::map<UINT, POINT> templates;
  return templates;
}
}  // namespace

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  RECT before{};
  ::GetWindowRect(m_hWnd, &before);
  if (!::MoveWindow(m_hWnd, x, y, width, height, repaint)) return;
  if (before.right - before.left != width || before.bottom - before.top != height) OnSize(0, width, height);
}

BOOL CWnd::DestroyWindow() {
  if (!::IsWindow(m_hWnd)) return FALSE;
  OnDestroy();
  const BOOL destroyed = ::DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  return destroyed;
}

void CDialog::RegisterTemplate(UINT templateId, int width, int height) { Templates()[templateId] = POINT{width, height}; }

CDialog::~CDialog() {
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  if (::IsWindow(m_hWnd)) return FALSE;
  m_templateId = templateId;
  if (parent) m_parent = parent;
  POINT size{200, 150};
  if (auto it = Templates().find(templateId); it != Templates().end()) size = it->second;
  // A dialog is a top-level window: its parent owns it but does not hold it
  // as a child.
  m_hWnd = zem::CreateWindowObject(L"#32770", L"", 0, RECT{0, 0, size.x, size.y});
  if (!m_hWnd) return FALSE;
  OnInitDialog();
  return TRUE;
}

void CDialog::EndDialog(int result) {
  m_result = result;
  ::ShowWindow(m_hWnd, SW_HIDE);
}
