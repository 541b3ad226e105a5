#pragma once
// A text label of a framework dialog, as wide as its text and 21 high. It can
// show a number with a fixed count of decimals.
#include <string>

#include "standin/platform/AfxControls.h"
#include "ui/ZEM_UIComponent.h"

class ZEM_Static : public CStatic, public ZEM_2DUIComponent {
  ZEM_DECLARE_CLASS(ZEM_Static, ZEM_2DUIComponent)

 public:
  // `id` -1 takes the next automatic id.
  bool Create(CWnd* dialog, const std::wstring& text, int id = -1);
  void SetText(const std::wstring& text);
  void SetNumber(double value, int decimals);
};
ZEM_DECLARE_POINTER(ZEM_Static);

namespace zem {
// A number with `decimals` decimals, the format built as "%%.%df" builds it.
std::wstring FixedNumberText(double value, int decimals);
}  // namespace zem
