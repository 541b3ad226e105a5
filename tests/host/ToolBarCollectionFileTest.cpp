#include "host/ToolBarCollectionFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/CRhinoUiToolBarManager.h"
#include "platform/TextEncoding.h"

namespace {

TEST(ToolBarCollectionFile, ReadsToolBarsAndButtonsInOrder) {
  const auto toolbars = zem::ParseToolBarCollection(
      "\xEF\xBB\xBFzem-toolbars 1\r\n# two toolbars\r\ntoolbar  Main \r\n  button Open a file | _Open\r\n"
      "button Gr\xC3\xBC\xC3\x9F" "e|_Greet \"x\"\r\nend\r\n\r\ntoolbar Empty\r\nend");
  ASSERT_TRUE(toolbars);
  ASSERT_EQ(toolbars->size(), 2u);
  EXPECT_EQ((*toolbars)[0].name, L"Main");
  ASSERT_EQ((*toolbars)[0].buttons.size(), 2u);
  EXPECT_EQ((*toolbars)[0].buttons[0].tooltip, L"Open a file");
  EXPECT_EQ((*toolbars)[0].buttons[0].macro, L"_Open");
  EXPECT_EQ((*toolbars)[0].buttons[1].tooltip, L"Gr\u00FC\u00DFe");
  EXPECT_EQ((*toolbars)[0].buttons[1].macro, L"_Greet \"x\"");
  EXPECT_TRUE((*toolbars)[1].buttons.empty());
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
                      "zem-toolbars 1\nbutton x | y\n", "zem-toolbars 1\nend\n", "zem-toolbars 1\ntoolbar\nend\n",
                      "zem-toolbars 1\ntoolbar A\nend\ntoolbar A\nend\n",
                      "zem-toolbars 1\ntoolbar A\nbutton no command\nend\n",
                      "zem-toolbars 1\ntoolbar A\nbutton | y\nend\n", "zem-toolbars 1\ntoolbar A\nbutton x |\nend\n",
                      "zem-toolbars 1\ntoolbars A\nend\n", "zem-toolbars 1\ntoolbar A\nend\nmore\n",
                      std::string("zem-toolbars 1\ntoolbar A\0B\nend\n", 30), "zem-toolbars 1\ntoolbar \xC3\nend\n",
                      "zem-toolbars 1\ntoolbar \xE0\x80\xAF\nend\n", "zem-toolbars 1\ntoolbar \xED\xA0\x80\nend\n",
                      "zem-toolbars 1\ntoolbar A\x1B[2J\nend\n",
                      "zem-toolbars 1\ntoolbar A\nend\n" + std::string(zem::kLargestToolBarFile, '#')));

TEST(ToolBarManager, KeepsEachFileOnceAndFindsItByPathOrName) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / "zem-toolbar-manager";
  fs::create_directories(folder);
  std::ofstream(folder / "Set.tb") << "zem-toolbars 1\ntoolbar Tools\nbutton t | Cmd\nend\n";
  std::ofstream(folder / "Bad.tb") << "zem-toolbars 1\ntoolbar Tools\n";
  const std::wstring path = zem::FromUtf8((folder / "Set.tb").string());
  CRhinoUiToolBarManager manager;
  EXPECT_TRUE(manager.ReadFile(path.c_str(), true, true, true));
  EXPECT_TRUE(manager.ReadFile(path.c_str(), true, true, true));
  EXPECT_FALSE(manager.ReadFile(zem::FromUtf8((folder / "Bad.tb").string()).c_str(), true, true, true));
  EXPECT_FALSE(manager.ReadFile(zem::FromUtf8((folder / "None.tb").string()).c_str(), true, true, true));
  ASSERT_EQ(manager.CollectionCount(), 1);
  EXPECT_EQ(manager.CollectionIndex(L"SET.TB", true), 0);
  EXPECT_EQ(manager.CollectionIndex(L"SET.TB", false), -1);
  CRhinoUiToolBarCollection* collection = manager.Collection(manager.CollectionIndex(path.c_str(), false));
  ASSERT_NE(collection, nullptr);
  EXPECT_EQ(collection->FindToolBar(L"tools", false), -1);
  CRhinoUiToolBar* toolbar = collection->ToolBar(collection->FindToolBar(L"tools", true));
  ASSERT_NE(toolbar, nullptr);
  EXPECT_TRUE(manager.ShowToolBar(*collection, *toolbar, true, false));
  EXPECT_TRUE(toolbar->IsVisible());
  // A collection the manager did not read is not its to show.
  CRhinoUiToolBarCollection stranger(L"x.tb", {zem::ToolBarDefinition{L"Tools", {}}});
  EXPECT_FALSE(manager.ShowToolBar(stranger, *stranger.ToolBar(0), true, false));
  fs::remove_all(folder);
}

}  // namespace
