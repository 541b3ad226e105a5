#pragma once
// Text layouts for drawing with a window-library font (the window painter).
#include <pango/pangocairo.h>

#include <string>

#include "standin/platform/WinTypes.h"

namespace zem {
// A pango layout of the text in the font (null font: the dialog font), with
// the font options the measuring uses; null when the font cannot be had.
// The caller unrefs it.
PangoLayout* CreateTextLayout(cairo_t* cr, HFONT font, const std::wstring& text);
}  // namespace zem
