#include "standin/host/ToolBarCollectionFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

TEST(ToolBarCollectionFile, TheShippedFileHoldsThePlugInsToolBar) {
  std::ifstream in(std::string(ZEM_TEST_DATA_DIR) + "/../../plugin/ZEM_WEBGL.tb", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto toolbars = zem::ParseToolBarCollection(text);
  ASSERT_TRUE(toolbars);
  EXPECT_EQ((*toolbars)[0].name, L"ZEM WebGL");
  EXPECT_EQ((*toolbars)[0].buttons.at(0).macro, L"ZEMWriteWebGL");
}

class MalformedToolBarFile : public ::testing::TestWithParam<std::string> {};

TEST_P(MalformedToolBarFile, ReadsAsNoCollection) {
  std::wstring problem;
  EXPECT_FALSE(zem::ParseToolBarCollection(GetParam(), &problem));
  EXPECT_FALSE(problem.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedToolBarFile,
    ::testing::Values(std::string(), "zem-toolbars 2\ntoolbar A\nend\n", "toolbar A\nend\n", "zem-toolbars 1\n",
                      "zem-toolbars 1\ntoolbar A\n", "zem-toolbars 1\ntoolbar A\ntoolbar B\nend\nend\n",
                      "zem-toolbars 1\nbutton x | y\n", "zem-toolbars 1\ntoolbar\nend\n",
                      "zem-toolbars 1\ntoolbar A\nend\ntoolbar A\nend\n",
                      "zem-toolbars 1\ntoolbar A\nbutton no command\nend\n",
                      "zem-toolbars 1\ntoolbar A\nbutton x |\nend\n", "zem-toolbars 1\ntoolbar A\nend\nmore\n",
                      std::string("zem-toolbars 1\ntoolbar A\0B\nend\n", 30), "zem-toolbars 1\ntoolbar \xC3\nend\n",
                      "zem-toolbars 1\ntoolbar \xED\xA0\x80\nend\n", "zem-toolbars 1\ntoolbar A\x1B[2J\nend\n",
                      "zem-toolbars 1\ntoolbar A\nend\n" + std::string(zem::kLargestToolBarFile, '#')));

}  // namespace
