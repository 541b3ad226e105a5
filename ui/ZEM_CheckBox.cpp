#include "ui/ZEM_CheckBox.h"

#include "ui/ZEM_Settings.h"

bool ZEM_CheckBox::Create(CWnd* dialog, const std::wstring& text) {
  return CreateControl(*this, dialog, L"Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                       kBoxWidth);
}

bool ZEM_CheckBox::ReadFromSettings() {
  if (m_settingsKey.empty()) return false;
  int value = 0;
  if (!ZEM_SettingsImpl::Instance()->ReadInt(m_settingsSection, m_settingsKey, value)) return false;
  if (IsWindow(m_window)) SetChecked(value != 0);
  return true;
}

bool ZEM_CheckBox::WriteToSettings() {
  if (m_settingsKey.empty() || !IsWindow(m_window)) return false;
  return ZEM_SettingsImpl::Instance()->WriteInt(m_settingsSection, m_settingsKey, IsChecked() ? 1 : 0);
}
