#pragma once
// A one-line edit field of a framework dialog, 60 pixels wide. It holds
// text, or an integer or a real within a range; the first switch to a
// number mode right-aligns the text. Numbers are shown with a fixed count of
// decimals.
#include <string>

#include "standin/platform/AfxControls.h"
#include "ui/ZEM_UIComponent.h"

class ZEM_Edit : public CEdit, public ZEM_2DUIComponent {
  ZEM_DECLARE_CLASS(ZEM_Edit, ZEM_2DUIComponent)

 public:
  enum class Mode { Text, Integer, Real };
  static constexpr int kWidth = 60;

  bool Create(CWnd* dialog);

  void SetIntegerRange(double minimum, double maximum, double step = 1);
  void SetRealRange(double minimum, double maximum, double step);
  Mode GetMode() const { return m_mode; }
  double Minimum() const { return m_minimum; }
  double Maximum() const { return m_maximum; }
  double Step() const { return m_step; }

  // Sets the window text and keeps a copy.
  void SetText(const std::wstring& text);
  // The window text (what the person typed, not the copy).
  std::wstring GetText() const;
  // The last text set through SetText.
  const std::wstring& KeptText() const { return m_text; }
  void SetNumber(double value, int decimals);

 private:
  void SwitchMode(Mode mode);

  Mode m_mode = Mode::Text;
  double m_minimum = -2147483647.0;
  double m_maximum = 2147483647.0;
  double m_step = 1.0;
  std::wstring m_text;
};
ZEM_DECLARE_POINTER(ZEM_Edit);
