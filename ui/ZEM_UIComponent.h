#pragma once
// Framework components: objects a dialog finds by control id, enables, and
// routes control events to. ZEM_2DUIComponent is the window-bound kind that
// every control and dialog is; the controls derive from it and from their
// window-library class.
#include <cstdint>
#include <string>

#include "standin/platform/Fonts.h"

#include "core/ZEM_SmartPointer.h"
#include "standin/platform/WinTypes.h"

class CWnd;

class ZEM_UIComponent : public ZEM_BaseUnknown {
  ZEM_DECLARE_CLASS(ZEM_UIComponent, ZEM_BaseUnknown)

 public:
  static constexpr std::uint32_t kNoId = 0xFFFFFFFFu;

  ZEM_UIComponent();

  virtual bool HasId(std::uint32_t id) const { return m_id == id; }
  virtual void Enable(bool enable) {}
  virtual void SetOption(int option) { m_option = option; }
  virtual int GetOption() const { return m_option; }
  // A control event routed by the dialog (code, extra value).
  virtual void OnEvent(int code, std::intptr_t extra) {}
  // Hands the component's value to its bound parameter (none is bound in
  // the export's dialogs).
  virtual void CommitParameter() {}

  std::uint32_t Id() const { return m_id; }
  void SetId(std::uint32_t id) { m_id = id; }
  const std::string& Name() const { return m_name; }
  bool IsLocked() const { return m_locked; }
  bool IsBusy() const { return m_busy; }
  void SetLocked(bool locked) { m_locked = locked; }
  void SetBusy(bool busy) { m_busy = busy; }

 protected:
  std::uint32_t m_id = kNoId;
  std::string m_name;
  int m_index = -1;
  bool m_locked = false;
  bool m_busy = false;
  int m_option = 3;
  ZEM_UIComponent* m_parentComponent = nullptr;
};
ZEM_DECLARE_POINTER(ZEM_UIComponent);

class ZEM_2DUIComponent : public ZEM_UIComponent {
  ZEM_DECLARE_CLASS(ZEM_2DUIComponent, ZEM_UIComponent)

 public:
  bool IsWindowBound() const override { return true; }

  // Enables the component's window, and its buddy's, when it has an id.
  void Enable(bool enable) override;
  // Keep the top-left corner and the other extent.
  virtual void SetHeight(int pixels);
  virtual void SetWidth(int pixels);
  // Adds the control to its dialog's tooltips with that text; false when the
  // control has no window or its dialog no tooltip control.
  virtual bool SetToolTip(const std::wstring& text);
  // Both extents at once, keeping the top-left corner.
  virtual void SetSize(int width, int height);
  // The text's extent in the parent dialog's font (0 x 0 without a dialog).
  virtual SIZE TextExtent(const std::wstring& text) const;
  // Width: the window text's extent plus `extra`; the height stays.
  virtual void SizeToText(int extra);
  // The base kind stores nothing: both report false and leave a note on the
  // diagnostic output.
  virtual bool ReadFromSettings();
  virtual bool WriteToSettings();
  virtual void SetBuddy(ZEM_2DUIComponent* buddy) { m_buddy = buddy; }

  static constexpr int kControlHeight = 21;

  // Ids of controls created without one: 10000, 10001, ... for the process.
  static std::uint32_t NextControlId();

  HWND Window() const { return m_window; }
  void SetWindow(HWND window) { m_window = window; }
  HWND ParentDialog() const { return m_parentDialog; }
  void SetParentDialog(HWND dialog) { m_parentDialog = dialog; }
  const std::wstring& SettingsKey() const { return m_settingsKey; }
  const std::wstring& SettingsSection() const { return m_settingsSection; }
  void SetSettingsKey(std::wstring section, std::wstring key) {
    m_settingsSection = std::move(section);
    m_settingsKey = std::move(key);
  }

 protected:
  // The common creation of a control window as a child of the dialog: an id
  // from the counter unless the component has one; width = the text's
  // extent (0 without text) + `extra`, height 21; the dialog's font; the
  // stored value read; the window shown. `self` is the control's CWnd, which
  // is attached to the new window. False when no window could be made.
  bool CreateControl(CWnd& self, CWnd* dialog, const wchar_t* className, const std::wstring& text, DWORD style,
                     DWORD exStyle, int extra);

  HWND m_parentDialog = nullptr;
  int m_index2 = -1;
  ZEM_2DUIComponent* m_buddy = nullptr;
  HWND m_window = nullptr;
  std::wstring m_settingsKey;
  std::wstring m_settingsSection;
};
ZEM_DECLARE_POINTER(ZEM_2DUIComponent);
