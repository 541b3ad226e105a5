#include "ui/ZEM_Static.h"

#include <algorithm>

#include "page/TextFormat.h"

std::wstring zem::FixedNumberText(double value, int decimals) {
  const std::wstring format = FormatText(L"%%.%df", {std::clamp(decimals, 0, 20)});
  return FormatText(format, {value});
}

bool ZEM_Static::Create(CWnd* dialog, const std::wstring& text, int id) {
  if (id != -1) SetId(static_cast<std::uint32_t>(id));
  return CreateControl(*this, dialog, L"Static", text, WS_VISIBLE | WS_CHILD | SS_CENTERIMAGE, 0, 0);
}

void ZEM_Static::SetText(const std::wstring& text) { SetWindowTextW(text.c_str()); }

void ZEM_Static::SetNumber(double value, int decimals) { SetText(zem::FixedNumberText(value, decimals)); }
