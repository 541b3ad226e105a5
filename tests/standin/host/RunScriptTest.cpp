#include "standin/host/CRhinoApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RunScriptTest : public ::testing::Test {
 protected:
  std::vector<std::vector<std::wstring>> calls;
  void SetUp() override {
    RhinoApp().RegisterScriptCommand(L"Echo", [this](const std::vector<std::wstring>& args) {
      calls.push_back(args);
      return args.empty() || args[0] != L"fail";
    });
  }
  void TearDown() override { RhinoApp().UnregisterScriptCommand(L"Echo"); }
};

TEST_F(RunScriptTest, RunsTheCommandSynchronouslyWithQuotedArguments) {
  EXPECT_TRUE(RhinoApp().RunScript(L"_-Echo 0 \"C:\\temp\\my page.html\" \"\" 2", 0));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], (std::vector<std::wstring>{L"0", L"C:\\temp\\my page.html", L"", L"2"}));
}

TEST_F(RunScriptTest, UnknownCommandsAndEmptyScriptsFail) {
  EXPECT_FALSE(RhinoApp().RunScript(L"NoSuchCommand 2", 0));
  EXPECT_FALSE(RhinoApp().RunScript(L"   ", 0));
  EXPECT_FALSE(RhinoApp().RunScript(nullptr, 0));
}

TEST_F(RunScriptTest, StopsAtTheFirstFailingLine) {
  EXPECT_FALSE(RhinoApp().RunScript(L"Echo a\nEcho fail\nEcho c", 0));
  EXPECT_EQ(calls.size(), 2u);
}

}  // namespace
