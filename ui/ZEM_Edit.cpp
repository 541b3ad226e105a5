#include "ui/ZEM_Edit.h"

#include "ui/ZEM_Static.h"

bool ZEM_Edit::Create(CWnd* dialog) {
  return CreateControl(*this, dialog, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                       WS_EX_CLIENTEDGE, kWidth);
}

void ZEM_Edit::SwitchMode(Mode mode) {
  if (m_mode == Mode::Text && mode != Mode::Text && IsWindow(m_window)) {
    const LONG style = GetWindowLongW(m_window, GWL_STYLE);
    SetWindowLongW(m_window, GWL_STYLE, (style & ~static_cast<LONG>(ES_LEFT | 0x3)) | static_cast<LONG>(ES_RIGHT));
  }
  m_mode = mode;
}

void ZEM_Edit::SetIntegerRange(double minimum, double maximum, double step) {
  SwitchMode(Mode::Integer);
  m_minimum = minimum;
  m_maximum = maximum;
  m_step = step;
}

void ZEM_Edit::SetRealRange(double minimum, double maximum, double step) {
  SwitchMode(Mode::Real);
  m_minimum = minimum;
  m_maximum = maximum;
  m_step = step;
}

void ZEM_Edit::SetText(const std::wstring& text) {
  m_text = text;
  if (IsWindow(m_window)) SetWindowTextW(text.c_str());
}

std::wstring ZEM_Edit::GetText() const { return zem::WindowText(m_window); }

void ZEM_Edit::SetNumber(double value, int decimals) { SetText(zem::FixedNumberText(value, decimals)); }
