#include "standin/host/ToolBarCollectionFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

TEST(ToolBarCollectionFileTest, TheShippedFileHoldsThePlugInsToolBar) {
  std::ifstream in(std::string(ZEM_TEST_DATA_DIR) + "/../../plugin/ZEM_WEBGL.tb", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto toolbars = zem::ParseToolBarCollection(text);
  ASSERT_TRUE(toolbars);
  EXPECT_EQ((*toolbars)[0].name, L"ZEM WebGL");
  EXPECT_EQ((*toolbars)[0].buttons.at(0).macro, L"ZEMWriteWebGL");
}

TEST(ToolBarCollectionFileTest, MalformedFilesReadAsNoCollectionAndSayWhy) {
  for (const std::string& text :
       {std::string(), std::string("zem-toolbars 2\ntoolbar A\nend\n"), std::string("toolbar A\nend\n"),
        std::string("zem-toolbars 1\n"), std::string("zem-toolbars 1\ntoolbar A\n"),
        std::string("zem-toolbars 1\ntoolbar A\ntoolbar B\nend\nend\n"), std::string("zem-toolbars 1\nbutton x | y\n"),
        std::string("zem-toolbars 1\ntoolbar\nend\n"), std::string("zem-toolbars 1\ntoolbar A\nend\ntoolbar A\nend\n"),
        std::string("zem-toolbars 1\ntoolbar A\nbutton no command\nend\n"),
        std::string("zem-toolbars 1\ntoolbar A\nbutton x |\nend\n"),
        std::string("zem-toolbars 1\ntoolbar A\nend\nmore\n"), std::string("zem-toolbars 1\ntoolbar A\0B\nend\n", 30),
        std::string("zem-toolbars 1\ntoolbar \xC3\nend\n"), std::string("zem-toolbars 1\ntoolbar \xED\xA0\x80\nend\n"),
        std::string("zem-toolbars 1\ntoolbar A\x1B[2J\nend\n"),
        "zem-toolbars 1\ntoolbar A\nend\n" + std::string(zem::kLargestToolBarFile, '#')}) {
    std::wstring problem;
    EXPECT_FALSE(zem::ParseToolBarCollection(text, &problem)) << text.substr(0, 60);
    EXPECT_FALSE(problem.empty()) << text.substr(0, 60);
  }
}

}  // namespace
