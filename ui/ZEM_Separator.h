#pragma once
// A vertical etched line of a framework dialog, 1 pixel wide.
#include "standin/platform/AfxControls.h"
#include "ui/ZEM_UIComponent.h"

class ZEM_Separator : public CStatic, public ZEM_2DUIComponent {
  ZEM_DECLARE_CLASS(ZEM_Separator, ZEM_2DUIComponent)

 public:
  bool Create(CWnd* dialog);
};
ZEM_DECLARE_POINTER(ZEM_Separator);
