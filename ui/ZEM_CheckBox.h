#pragma once
// A check box of a framework dialog, as wide as its text plus 16 for the
// box. With a settings key it reads its state from the settings store when
// it is created and writes it back when asked (the dialog does on "Ok");
// without one it touches no settings file.
#include <string>

#include "standin/platform/AfxControls.h"
#include "ui/ZEM_UIComponent.h"

class ZEM_CheckBox : public CButton, public ZEM_2DUIComponent {
  ZEM_DECLARE_CLASS(ZEM_CheckBox, ZEM_2DUIComponent)

 public:
  static constexpr int kBoxWidth = 16;

  bool Create(CWnd* dialog, const std::wstring& text);
  bool IsChecked() { return GetCheck() == BST_CHECKED; }
  void SetChecked(bool checked) { SetCheck(checked ? BST_CHECKED : BST_UNCHECKED); }

  bool ReadFromSettings() override;
  bool WriteToSettings() override;
};
ZEM_DECLARE_POINTER(ZEM_CheckBox);
