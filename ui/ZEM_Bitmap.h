#pragma once
// A picture of a framework dialog: a bitmap resource of the current module
// in a static of the given size, centred.
#include "standin/platform/AfxControls.h"
#include "ui/ZEM_UIComponent.h"

class ZEM_Bitmap : public CStatic, public ZEM_2DUIComponent {
  ZEM_DECLARE_CLASS(ZEM_Bitmap, ZEM_2DUIComponent)

 public:
  bool Create(CWnd* dialog, UINT bitmap, int width, int height);
};
ZEM_DECLARE_POINTER(ZEM_Bitmap);
