#pragma once
// Fonts, device contexts and dialog units of the window library. Texts are
// measured and drawn with pango and cairo from a real TrueType font: "MS
// Shell Dlg" (and the other Windows dialog faces) is DejaVu Sans from the
// Debian package fonts-dejavu-core; 8 point is 11 pixels at 96 dots per inch.
// Without the font file, creating a font fails and FontError names the
// package; nothing is measured as zero.
#include <string>

#include "standin/platform/WinTypes.h"

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};

struct TEXTMETRICW {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
};

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr int DEFAULT_GUI_FONT = 17;

// `height` < 0: the character height in pixels; > 0: the cell height; 0: the
// default (11 pixels). Null when the face's font file is missing.
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCWSTR face);
// DEFAULT_GUI_FONT: "MS Shell Dlg" 8 point.
HGDIOBJ GetStockObject(int object);
BOOL DeleteObject(HGDIOBJ object);

// A device context for measuring, with the window's font selected.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// Answers the object selected before.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
// Dialog units to pixels with the dialog's font (WM_GETFONT).
BOOL MapDialogRect(HWND dialog, RECT* rect);

namespace zem {

// Why the last font could not be created or used (empty when it could).
const std::wstring& FontError();
// The font of a dialog template's face and point size.
HFONT CreateDialogFont(LPCWSTR face, int pointSize);
// Dialog base units as Windows computes them: the average width of the 52
// letters (rounded) and the text height.
bool DialogBaseUnits(HFONT font, int& baseX, int& baseY);
RECT DialogUnitsToPixels(const RECT& units, int baseX, int baseY);
// Where the dialog font's file must be, and the package that brings it.
std::wstring DialogFontFile();
inline constexpr const wchar_t* kDialogFontPackage = L"fonts-dejavu-core";
// For tests: the dialog font's file is looked up here instead.
void OverrideDialogFontFile(const std::wstring& path);

}  // namespace zem
