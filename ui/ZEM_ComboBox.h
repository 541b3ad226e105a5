#pragma once
// A drop-down list of a framework dialog, as wide as the text "Test" (the
// layout widens it). Each item carries a data value.
#include <cstdint>
#include <optional>
#include <string>

#include "standin/platform/AfxControls.h"
#include "ui/ZEM_UIComponent.h"

class ZEM_ComboBox : public CComboBox, public ZEM_2DUIComponent {
  ZEM_DECLARE_CLASS(ZEM_ComboBox, ZEM_2DUIComponent)

 public:
  bool Create(CWnd* dialog);
  // Answers the item's index, -1 when there is no window.
  int AddItem(const std::wstring& text, std::intptr_t data);
  // Selects the first item with that data; false when none has it.
  bool SelectData(std::intptr_t data);
  // The selected item's data; nothing when no item is selected.
  std::optional<std::intptr_t> SelectedData();
};
ZEM_DECLARE_POINTER(ZEM_ComboBox);
