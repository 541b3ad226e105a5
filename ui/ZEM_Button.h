#pragma once
// A push button of a framework dialog, as wide as its text (the layout
// widens it), or an icon button of 22 x 22 showing a 16 x 16 icon.
#include <string>

#include "standin/platform/AfxControls.h"
#include "ui/ZEM_UIComponent.h"

class ZEM_Button : public CButton, public ZEM_2DUIComponent {
  ZEM_DECLARE_CLASS(ZEM_Button, ZEM_2DUIComponent)

 public:
  static constexpr int kIconButtonSize = 22;
  static constexpr int kIconSize = 16;

  // `id` -1 takes the next automatic id.
  bool Create(CWnd* dialog, const std::wstring& text, int id = -1);
  // An icon button with the current module's icon resource `icon`.
  bool CreateIcon(CWnd* dialog, UINT icon, int id = -1);
};
ZEM_DECLARE_POINTER(ZEM_Button);
