#include "dialog/SizeEstimate.h"

#include <gtest/gtest.h>

namespace {

struct EstimateCase {
  const char* name;
  zem::PreviewCounts counts;
  bool zipped;
  const wchar_t* label;
  bool compact = false;
};

class SizeEstimateTest : public ::testing::TestWithParam<EstimateCase> {};

// Expected values worked out by hand from the byte weights: 280 a mesh, 136
// a weighted triangle, 270 a curve, 25 a polyline point, plus 0.12 MB; for
// compact pages the decoders (about 25,000 bytes), 400 a mesh and 4.8 a
// weighted triangle, that part times 0.28 when zipped. (The export dialog's
// test shows meshes and triangles, the program's an empty scene.)
TEST_P(SizeEstimateTest, LabelShowsTheEstimateWithOneDecimal) {
  const EstimateCase& c = GetParam();
  EXPECT_EQ(zem::SizeEstimate::Label(zem::SizeEstimate::Megabytes(c.counts, c.zipped, c.compact)), c.label);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, SizeEstimateTest,
    ::testing::Values(
        EstimateCase{"EmptySceneZipped", {}, true, L"Approximate file size: 0.0 MB"},
        // 270,000 + 2,500,000 bytes = 2.64 MB, + 0.12.
        EstimateCase{"CurvesAndPoints", {0, 0, 1000, 100000}, false, L"Approximate file size: 2.8 MB"},
        // 20 million textured triangles weigh 26,666,666: 136 times that is
        // 3,626,666,576 bytes, past 32 bits (3458.66 MB, + 0.12).
        EstimateCase{"TwentyMillionTexturedTriangles", {1, 26666666, 0, 0}, false, L"Approximate file size: 3458.8 MB"},
        // 4,800,400 bytes and the decoders = 4.60 MB, + 0.12.
        EstimateCase{"CompactMillionTriangles", {1, 1000000, 0, 0}, false, L"Approximate file size: 4.7 MB", true},
        // 4.60 MB times 0.28, + 0.12 times 0.12.
        EstimateCase{
            "CompactMillionTrianglesZipped", {1, 1000000, 0, 0}, true, L"Approximate file size: 1.3 MB", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
