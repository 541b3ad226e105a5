#include "ui/FrameworkResources.h"

#include <gtest/gtest.h>

#include "standin/platform/CWnd.h"
#include "standin/platform/Controls.h"
#include "standin/platform/Fonts.h"
#include "standin/platform/Resources.h"

namespace {

RECT DialogUnits(HWND dialog, int cx, int cy) {
  RECT r{0, 0, cx, cy};
  EXPECT_TRUE(MapDialogRect(dialog, &r));
  return r;
}

TEST(FrameworkResources, TemplatesGiveTheirSizeInDialogUnitsAndTheirFrames) {
  ASSERT_TRUE(zem::RegisterFrameworkResources());
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  struct Case {
    UINT id;
    int cx, cy;
    bool sizing;
  };
  for (const Case& c :
       {Case{zem::kFixedDialogTemplate, 100, 75, false}, Case{zem::kSizingDialogTemplate, 78, 63, true}}) {
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(c.id)) << c.id;
    RECT window;
    dialog.GetWindowRect(&window);
    const RECT expected = DialogUnits(dialog.m_hWnd, c.cx, c.cy);
    EXPECT_EQ(window.right - window.left, expected.right) << c.id;
    EXPECT_EQ(window.bottom - window.top, expected.bottom) << c.id;
    const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog.m_hWnd, GWL_STYLE));
    EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && (style & WS_POPUP), true) << c.id;
    EXPECT_EQ((style & WS_THICKFRAME) != 0, c.sizing) << c.id;
    EXPECT_FALSE(dialog.IsWindowVisible());
  }
}

TEST(FrameworkResources, FilePanelIsAChildPanelWithItsControls) {
  ASSERT_TRUE(zem::RegisterFrameworkResources());
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CDialog host;
  ASSERT_TRUE(host.Create(zem::kFixedDialogTemplate));
  CDialog panel(0, &host);
  ASSERT_TRUE(panel.Create(zem::kFilePanelTemplate));
  EXPECT_EQ(GetParent(panel.m_hWnd), host.m_hWnd);
  EXPECT_TRUE(GetWindowLongW(panel.m_hWnd, GWL_STYLE) & WS_CHILD);
  RECT r;
  panel.GetWindowRect(&r);
  EXPECT_EQ(r.right - r.left, DialogUnits(panel.m_hWnd, 111, 184).right);
  EXPECT_EQ(zem::WindowText(GetDlgItem(panel.m_hWnd, zem::kFilePanelInfo)), L"Info");
  EXPECT_NE(GetDlgItem(panel.m_hWnd, zem::kFilePanelPreview), nullptr);
  EXPECT_NE(GetDlgItem(panel.m_hWnd, zem::kFilePanelFrame), nullptr);
}

TEST(FrameworkResources, PicturesAreFoundOnlyThroughThePluginsModuleState) {
  ASSERT_TRUE(zem::RegisterFrameworkResources());
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(zem::kDialogIcon)), nullptr) << "not the host program's";
  EXPECT_EQ(zem::FindDialogTemplate(zem::kFixedDialogTemplate), nullptr);
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  // Each icon at the size asked for.
  for (const auto& [id, side] :
       {std::pair{zem::kDialogIcon, 16}, {zem::kDialogIcon, 32}, {zem::kUndoIcon, 16}, {zem::kRedoIcon, 16}}) {
    const zem::Picture* picture = zem::PictureOf(LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_ICON, side, side, 0));
    ASSERT_NE(picture, nullptr) << id;
    EXPECT_EQ(std::pair(picture->width, picture->height), std::pair(side, side)) << id;
    std::size_t opaque = 0;
    for (std::uint32_t argb : picture->pixels) opaque += (argb >> 24) > 0;
    EXPECT_GT(opaque, picture->pixels.size() / 8) << "picture " << id << " shows something";
  }
}

}  // namespace
