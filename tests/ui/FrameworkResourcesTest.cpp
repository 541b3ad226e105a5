#include "ui/FrameworkResources.h"

#include <gtest/gtest.h>

#include "standin/platform/CWnd.h"
#include "standin/platform/Controls.h"
#include "standin/platform/Resources.h"

namespace {

TEST(FrameworkResourcesTest, PicturesAreFoundOnlyThroughThePluginsModuleState) {
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
