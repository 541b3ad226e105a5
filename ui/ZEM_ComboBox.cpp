#include "ui/ZEM_ComboBox.h"

bool ZEM_ComboBox::Create(CWnd* dialog) {
  // Measured on "Test", created without text.
  if (!CreateControl(*this, dialog, L"ComboBox", L"",
                     WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_GROUP | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 0))
    return false;
  SetWidth(TextExtent(L"Test").cx);
  return true;
}

int ZEM_ComboBox::AddItem(const std::wstring& text, std::intptr_t data) {
  if (!IsWindow(m_window)) return -1;
  const int index = AddString(text.c_str());
  if (index >= 0) SetItemData(index, data);
  return index;
}

bool ZEM_ComboBox::SelectData(std::intptr_t data) {
  if (!IsWindow(m_window)) return false;
  for (int i = 0, n = GetCount(); i < n; ++i) {
    if (GetItemData(i) == data) {
      SetCurSel(i);
      return true;
    }
  }
  return false;
}

std::optional<std::intptr_t> ZEM_ComboBox::SelectedData() {
  if (!IsWindow(m_window)) return std::nullopt;
  const int index = GetCurSel();
  if (index < 0) return std::nullopt;
  return GetItemData(index);
}
