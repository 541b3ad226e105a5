#include "capture/PictureKind.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using zem::PictureKind;

// The ending of the name decides, in any case; what the folders are called
// does not.
TEST(PictureKindTest, FollowsTheEndingOfTheName) {
  const std::pair<const wchar_t*, PictureKind> cases[] = {{L"sky.hdr", PictureKind::Rgbe},
                                                          {L"C:\\maps\\Sky.HDR", PictureKind::Rgbe},
                                                          {L"sky.Rgbe", PictureKind::Rgbe},
                                                          {L"leaf.PnG", PictureKind::Png},
                                                          {L"/textures.hdr/wood.jpg", PictureKind::Other},
                                                          {L"/pics.png/wood.jpeg", PictureKind::Other},
                                                          {L"backup.png.bak", PictureKind::Other},
                                                          {L"png", PictureKind::Other},
                                                          {L"", PictureKind::Other}};
  for (const auto& [name, kind] : cases) EXPECT_EQ(zem::PictureKindOf(name), kind) << name;
}

}  // namespace
