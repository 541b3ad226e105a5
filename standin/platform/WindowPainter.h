#pragma once
// Pictures of windows as a person sees them, for looking at dialogs without
// a screen: the frame with its caption bar (icon, caption, close box, greyed
// while Close is), the dialog face, then every visible child from its
// rectangle, by class and state. Texts are drawn with the font that measures
// them (Fonts.h).
#include <string>

#include "standin/platform/WinTypes.h"

namespace zem {

// Height of the caption bar and width of the frame around the client area.
inline constexpr int kCaptionHeight = 22;
inline constexpr int kFrameWidth = 3;

// Writes a PNG of the top-level window; false (with `error` set) when the
// window is no top-level window, the font is missing or the file cannot be
// written.
bool RenderWindowToPng(HWND window, const std::string& path, std::wstring* error = nullptr);

}  // namespace zem
