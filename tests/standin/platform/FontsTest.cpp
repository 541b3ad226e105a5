#include "standin/platform/Fonts.h"

#include <gtest/gtest.h>

#include "standin/platform/CWnd.h"
#include "standin/platform/Resources.h"

namespace {

TEST(DialogFont, EightPointIsElevenPixelsOfARealFont) {
  HFONT font = zem::CreateDialogFont(L"MS Shell Dlg", 8);
  ASSERT_NE(font, nullptr) << "font error";
  HDC dc = GetDC(nullptr);
  SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
  TEXTMETRICW metrics;
  ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
  EXPECT_GE(metrics.tmHeight, 12);
  EXPECT_LE(metrics.tmHeight, 14);
  SIZE narrow, wide;
  ASSERT_TRUE(GetTextExtentPoint32W(dc, L"iiii", 4, &narrow));
  ASSERT_TRUE(GetTextExtentPoint32W(dc, L"WWWW", 4, &wide));
  EXPECT_GT(wide.cx, 2 * narrow.cx) << "proportional glyphs";
  ReleaseDC(nullptr, dc);
}

TEST(DialogFont, MissingFontFileIsAClearErrorNamingThePackage) {
  zem::OverrideDialogFontFile(L"/nonexistent/fonts/DejaVuSans.ttf");
  EXPECT_EQ(zem::CreateDialogFont(L"MS Shell Dlg", 8), nullptr);
  const std::wstring error = zem::FontError();
  EXPECT_NE(error.find(L"fonts-dejavu-core"), std::wstring::npos);
  EXPECT_NE(error.find(L"/nonexistent/fonts/DejaVuSans.ttf"), std::wstring::npos);
  // A dialog from a template cannot be made without its font.
  zem::DialogTemplate t;
  t.cx = 50;
  t.cy = 50;
  zem::RegisterDialogTemplate(AfxGetResourceHandle(), 9002, t);
  CDialog dialog;
  EXPECT_FALSE(dialog.Create(9002));
  zem::OverrideDialogFontFile(L"");
  EXPECT_NE(zem::CreateDialogFont(L"MS Shell Dlg", 8), nullptr);
  EXPECT_TRUE(zem::FontError().empty());
  EXPECT_TRUE(dialog.Create(9002));
}

}  // namespace
