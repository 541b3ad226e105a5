#pragma once
// The window library's window and dialog objects over the headless window
// objects. A CWnd attached to a window receives its messages through
// WindowProc, which hands them to the On... handlers; what a handler leaves
// goes to DefWindowProc (the window class's handling). Before a queued
// message is dispatched, PreTranslateMessage of its window and of each parent
// up to the top-level window may take it.
//
// A CDialog creates its window from a dialog template of the current module
// (Resources.h): an owned popup (owner: its parent's window, else the main
// window) of the template's size in dialog units, styles, caption and font.
// Modeless dialogs end by hiding (the object stays); DoModal runs the message
// loop until the dialog ends.
#include "standin/platform/MessageLoop.h"
#include "standin/platform/WinTypes.h"
#include "standin/platform/WindowMessages.h"

class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(HWND window) : m_hWnd(window) {}
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The object attached to the window, if any.
  static CWnd* FromHandlePermanent(HWND window);
  // Routes the window's messages to this object; FALSE when the window is
  // gone or already attached to another object.
  BOOL Attach(HWND window);
  HWND Detach();

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
  // Sends WM_SETTEXT, so a single-line edit reports EN_CHANGE.
  void SetWindowTextW(LPCWSTR text) { ::SendMessageW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const { return ::GetWindowPlacement(m_hWnd, placement); }
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) { return ::SetWindowPlacement(m_hWnd, placement); }
  LRESULT SendMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  virtual BOOL DestroyWindow();

  // The message handling of an attached window.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Answers TRUE when the message was dealt with and is not to be dispatched.
  virtual BOOL PreTranslateMessage(MSG* message) { return FALSE; }

  // WM_COMMAND; TRUE when handled.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam) { return FALSE; }
  // WM_NOTIFY; TRUE when handled, with the answer in *result.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) { return FALSE; }
  virtual void OnTimer(UINT_PTR id) { Default(); }
  virtual BOOL OnHelp(HELPINFO* info) { return static_cast<BOOL>(Default()); }
  virtual void OnShowWindow(BOOL show, UINT status) { Default(); }
  virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) { return static_cast<BOOL>(Default()); }
  // WM_SIZE: the new client size.
  virtual void OnSize(UINT type, int width, int height) {}
  // WM_DESTROY, while the window still exists.
  virtual void OnDestroy() {}

  HWND m_hWnd = nullptr;

 protected:
  // The default handling of the message being handled.
  LRESULT Default();

 private:
  MSG m_current;
};

class CDialog : public CWnd {
 public:
  // A pixel size for windows made from a template that no module holds;
  // without either, a dialog is 200 x 150 pixels.
  static void RegisterTemplate(UINT templateId, int width, int height);

  explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}
  ~CDialog() override;

  // Creates the (hidden) dialog window and runs OnInitDialog. FALSE when the
  // template's font cannot be had (zem::FontError tells why).
  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
  // Creates the dialog, shows it, disables its owner and runs the message
  // loop until the dialog ends; answers its result, -1 when it could not be
  // created or did not end within a day of clock time.
  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // IDOK and IDCANCEL reach OnOK and OnCancel.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Enter, Escape and F1 (IsDialogMessageW).
  BOOL PreTranslateMessage(MSG* message) override;
  // A dialog ends by hiding.
  void EndDialog(int result);
  int Result() const { return m_result; }
  UINT TemplateId() const { return m_templateId; }
  CWnd* Parent() const { return m_parent; }

 private:
  UINT m_templateId;
  CWnd* m_parent;
  int m_result = 0;
  bool m_ended = false;
};

// Dialog keyboard handling for a WM_KEYDOWN: Enter presses the default push
// button (IDOK without one), Escape is IDCANCEL, F1 sends WM_HELP. A disabled
// button is not pressed. Answers TRUE when the key was one of those.
BOOL IsDialogMessageW(HWND dialog, MSG* message);
