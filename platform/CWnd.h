#pragma once
// The window library's window and dialog objects over the headless window
// objects. A CWnd refers to one window by its handle; a CDialog creates its
// window from a dialog template (a registered size) and runs its
// initialisation, OK and Cancel as a modeless dialog does: ending hides the
// window, the object stays.
#include "platform/WinTypes.h"
#include "platform/WindowMessages.h"

class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(HWND window) : m_hWnd(window) {}
  virtual ~CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }
  BOOL IsWindowPresent() const { return ::IsWindow(m_hWnd); }

  HWND GetDlgItemHandle(int id) const { return ::GetDlgItem(m_hWnd, id); }
  void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
  // Moves the window; a window whose size changed hears OnSize.
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  void SetWindowTextW(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const { return ::GetWindowPlacement(m_hWnd, placement); }
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) { return ::SetWindowPlacement(m_hWnd, placement); }
  LRESULT SendMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  virtual BOOL DestroyWindow();

  // WM_SIZE: the new client size.
  virtual void OnSize(UINT type, int width, int height) {}
  // WM_DESTROY, while the window still exists.
  virtual void OnDestroy() {}

  HWND m_hWnd = nullptr;
};

class CDialog : public CWnd {
 public:
  // The size in pixels that windows made from a template get; templates
  // that were not registered give 200 x 150.
  static void RegisterTemplate(UINT templateId, int width, int height);

  explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}
  ~CDialog() override;

  // Creates the (hidden) dialog window and runs OnInitDialog.
  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // A modeless dialog ends by hiding.
  void EndDialog(int result);
  int Result() const { return m_result; }
  UINT TemplateId() const { return m_templateId; }
  CWnd* Parent() const { return m_parent; }

 private:
  UINT m_templateId;
  CWnd* m_parent;
  int m_result = 0;
};
