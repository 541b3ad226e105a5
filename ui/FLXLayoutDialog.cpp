#include "ui/FLXLayoutDialog.h"

#include "ui/FrameworkResources.h"

#include "standin/platform/CWinApp.h"
#include "standin/platform/MessageBox.h"

namespace {
constexpr wchar_t kPlacementEntry[] = L"WindowPlacement";
constexpr DWORD kStatusBarStyles = 0x0100 /* size grip */ | 0x0003 /* at the bottom */;
}  // namespace

FLXLayoutDialog::FLXLayoutDialog(UINT templateId, CWnd* parent, std::wstring storeName)
    : CDialog(templateId, parent), m_layout(nullptr, std::move(storeName)) {
  // The framework's templates and pictures are there before its first dialog.
  zem::RegisterFrameworkResources();
}

BOOL FLXLayoutDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_layout.SetWindow(m_hWnd);
  RestoreWindowPlacement();
  SendMessageW(WM_SETICON, 0, 0);
  if (m_useStatusBar) {
    RECT client;
    GetClientRect(&client);
    m_statusBar =
        zem::CreateWindowObject(L"msctls_statusbar32", L"", WS_CHILD | WS_VISIBLE | kStatusBarStyles,
                                RECT{0, client.bottom - 20, client.right, client.bottom}, m_hWnd, kStatusBarId);
    if (!m_statusBar) MessageBoxW(m_hWnd, L"Error - Statusbar", L"", MB_OK);
  }
  return TRUE;
}

void FLXLayoutDialog::RestoreWindowPlacement() {
  CWinApp* app = AfxGetApp();
  if (m_layout.StoreName().empty() || !app) return;
  BYTE* data = nullptr;
  UINT bytes = 0;
  if (app->GetProfileBinary(m_layout.StoreName().c_str(), kPlacementEntry, &data, &bytes) &&
      bytes == sizeof(WINDOWPLACEMENT)) {
    WINDOWPLACEMENT placement;
    std::copy(data, data + bytes, reinterpret_cast<BYTE*>(&placement));
    SetWindowPlacement(&placement);
  }
  delete[] data;
}

void FLXLayoutDialog::StoreWindowPlacement() {
  CWinApp* app = AfxGetApp();
  if (m_layout.StoreName().empty() || !app || !IsWindowPresent()) return;
  WINDOWPLACEMENT placement;
  if (!GetWindowPlacement(&placement)) return;
  app->WriteProfileBinary(m_layout.StoreName().c_str(), kPlacementEntry, reinterpret_cast<const BYTE*>(&placement),
                          sizeof placement);
}

void FLXLayoutDialog::OnCancel() {
  StoreWindowPlacement();
  CDialog::OnCancel();
}

void FLXLayoutDialog::OnDestroy() {
  StoreWindowPlacement();
  CDialog::OnDestroy();
}

void FLXLayoutDialog::OnSize(UINT type, int width, int height) {
  CDialog::OnSize(type, width, height);
  if (width != 0 || height != 0) m_layout.UpdateLayout();
  if (m_statusBar) {
    RECT bar;
    ::GetWindowRect(m_statusBar, &bar);
    const int barHeight = bar.bottom - bar.top;
    ::MoveWindow(m_statusBar, 0, height - barHeight, width, barHeight, TRUE);
  }
}
