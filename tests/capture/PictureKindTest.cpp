#include "capture/PictureKind.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using zem::PictureKind;

struct Case {
  const wchar_t* name;
  PictureKind kind;
};

class PictureKindOf : public ::testing::TestWithParam<Case> {};

// The ending of the name decides, in any case; what the folders are called
// does not.
TEST_P(PictureKindOf, FollowsTheEndingOfTheName) { EXPECT_EQ(zem::PictureKindOf(GetParam().name), GetParam().kind); }

INSTANTIATE_TEST_SUITE_P(Names, PictureKindOf,
                         ::testing::Values(Case{L"sky.hdr", PictureKind::Rgbe},
                                           Case{L"C:\\maps\\Sky.HDR", PictureKind::Rgbe},
                                           Case{L"sky.Rgbe", PictureKind::Rgbe}, Case{L"leaf.PnG", PictureKind::Png},
                                           Case{L"/textures.hdr/wood.jpg", PictureKind::Other},
                                           Case{L"/pics.png/wood.jpeg", PictureKind::Other},
                                           Case{L"backup.png.bak", PictureKind::Other},
                                           Case{L"png", PictureKind::Other}, Case{L"", PictureKind::Other}));

}  // namespace
