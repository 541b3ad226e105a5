#pragma once
// The framework's modeless dialog. It is created from an empty template
// (2016 fixed, 119 with a sizing border), builds its controls at run time in
// CreateContent, arranges them with the layout manager beside a column of
// standard buttons and pictures (chosen by the button flags), grows to the
// size its content needs, and routes every control event to the control's
// component, to OnControlEvent and to UpdateControlStates.
//
// It is shown and hidden many times; the closed flag tells whether it was
// ended with Ok or Cancel. While shown (closed flag clear) it listens to the
// framework's dialog events, so closing the document cancels and hides it.
// Timers 11111, 11112 and 11113 are one-shot: 11112 marks the dialog busy
// (wait cursor), 11113 calls OnIdleTimer.
#include <cstdint>
#include <string>
#include <vector>

#include "core/ZEM_DialogEvent.h"
#include "standin/platform/AfxControls.h"
#include "ui/FLXLayoutDialog.h"
#include "ui/ZEM_Bitmap.h"
#include "ui/ZEM_Button.h"
#include "ui/ZEM_CommandControl.h"
#include "ui/ZEM_Separator.h"
#include "ui/ZEM_Static.h"
#include "ui/ZEM_UIComponent.h"

class ZEM_Dialog : public FLXLayoutDialog, public ZEM_2DUIComponent, public ZEM_DialogEventTarget {
  // Its framework class name is that of its component kind, "ZEM_2DUIComponent".

 public:
  // Button flags.
  static constexpr std::uint32_t kResizable = 0x1;
  static constexpr std::uint32_t kOkButton = 0x2;
  static constexpr std::uint32_t kCancelButton = 0x4;
  static constexpr std::uint32_t kApplyButton = 0x8;
  static constexpr std::uint32_t kUndoRedoButtons = 0x10;
  static constexpr std::uint32_t kShortSideBitmap = 0x20;
  static constexpr std::uint32_t kButtonColumn = 0x1E;
  static constexpr std::uint32_t kDefaultFlags = 0x26;
  // Timers.
  static constexpr UINT_PTR kPlainTimer = 11111;
  static constexpr UINT_PTR kBusyTimer = 11112;
  static constexpr UINT_PTR kIdleTimer = 11113;
  // Notification codes a component turns into its change events.
  static constexpr int kChangeBegins = 846;
  static constexpr int kChanging = 847;
  static constexpr int kChangeEnds = 848;

  explicit ZEM_Dialog(CWnd* parent = nullptr);
  ~ZEM_Dialog() override;

  // Creates the hidden modeless window: template 119 with kResizable or when
  // forced, else 2016. Owner: the parent's window, else the main window.
  virtual BOOL CreateDialogWindow(bool resizable = false);

  // Hooks for subclasses.
  virtual void OnControlEvent(int code, unsigned id, std::intptr_t extra) {}
  virtual void UpdateControlStates() {}
  virtual void CreateContent(const FLXLayoutMgr::CPaneBase& content) {}
  virtual void OnCancelHook() {}
  virtual void OnOkHook() {}
  virtual void OnApply() {}
  virtual void OnUndo() {}
  virtual void OnRedo() {}
  virtual void OnIdleTimer() {}
  virtual void EnableOk(bool enable);
  virtual void EnableCancel(bool enable);
  virtual void EnableApply(bool enable);
  virtual void EnableUndo(bool enable);
  virtual void EnableRedo(bool enable);
  // First step of OnOK and OnCancel: sets the closed flag and unsubscribes.
  virtual void OnClosing();
  // Registers the dialog's subscriber for the dialog events, unless it is
  // registered already.
  virtual void Subscribe();
  bool CloseByCommandControl() override;
  virtual void CopyHelpPath();
  // Releases the command-control object and lets every component commit.
  virtual void CommitComponents();

  // The dialog base's overrides of the window library.
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL PreTranslateMessage(MSG* message) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id) override;
  // Opens the help path in the help viewer (no owner, display topic).
  BOOL OnHelp(HELPINFO* info) override;
  void OnShowWindow(BOOL show, UINT status) override;
  BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) override;
  void OnDestroy() override;

  // The dialog events' calls.
  void CancelFromEvent() override { OnCancel(); }
  void HideWindow() override { ShowWindow(SW_HIDE); }

  // Cleared by whoever shows the dialog; clearing it on a dialog whose window
  // exists subscribes the dialog again.
  void SetClosed(bool closed);
  bool IsClosed() const { return m_closed; }
  bool IsSubscribed() const { return m_subscribed; }
  bool IsBusyCursor() const { return m_busyCursor; }

  void SetButtonFlags(std::uint32_t flags) { m_buttonFlags = flags; }
  std::uint32_t ButtonFlags() const { return m_buttonFlags; }
  // A text above the buttons; set before the window is created.
  void SetStatusText(const std::wstring& text) { m_statusTextString = text; }
  // The caption, set now or at initialisation.
  void SetTitle(const std::wstring& title);
  void SetHelpPath(const std::wstring& path) { m_helpPath = path; }
  const std::wstring& HelpPath() const { return m_helpPath; }
  void SetCommandControl(ZEM_CommandControl_ptr control) { m_commandControl = std::move(control); }
  void SetApplyDone(std::uint32_t done) { m_applyDone = done; }
  void SetSuppressHooks(bool suppress) { m_suppressHooks = suppress; }
  void AddSubDialog(ZEM_Dialog* dialog) { m_subDialogs.push_back(dialog); }

  // The component whose control window has that id, or null. Nothing is
  // owned: a control leaves the lookup when it is destroyed.
  ZEM_UIComponent* FindComponent(unsigned id) const;
  // Adds a control window to the dialog's tooltips.
  bool AddToolTip(HWND control, const std::wstring& text);
  HWND ToolTipWindow() const { return m_toolTip.m_hWnd; }

  // Handles of the framework dialogs whose windows are initialised and not
  // destroyed.
  static const std::vector<HWND>& OpenDialogs();

 protected:
  // Steps 1 to 4 of the routing of one control event.
  void RouteControlEvent(int code, unsigned id, std::intptr_t extra);
  FLXLayoutMgr& DialogLayout() { return Layout(); }
  const ZEM_Button& ButtonOk() const { return m_ok; }

 private:
  void BuildButtonColumn(const FLXLayoutMgr::CPaneBase& root);
  void GrowToContent();
  void Unsubscribe();
  void ForgetWindow();

  bool m_closed = true;
  CToolTipCtrl m_toolTip;
  ZEM_DialogEvent_ptr m_subscriber;
  bool m_subscribed = false;
  ZEM_Button m_undo, m_redo, m_ok, m_cancel, m_apply;
  bool m_busyCursor = false;
  ZEM_CommandControl_ptr m_commandControl;
  std::wstring m_helpPath;
  std::uint32_t m_buttonFlags = kDefaultFlags;
  std::vector<ZEM_Dialog*> m_subDialogs;
  std::uint32_t m_applyDone = 0;
  ZEM_Bitmap m_topBitmap, m_sideBitmap;
  ZEM_Separator m_separator;
  ZEM_Static m_statusText;
  std::wstring m_statusTextString;
  bool m_suppressHooks = false;
  std::wstring m_title;
};
