#pragma once
// A fresh temporary folder for each test, which also serves as the system's
// temporary folder (TMPDIR) while the test runs, and a page written in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TestFolder.h"

namespace zem::testing {

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = TestFolder("zem-test");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    tmpdir.emplace("TMPDIR", folder.c_str());
  }
  void TearDown() override {
    tmpdir.reset();
    std::filesystem::remove_all(folder);
  }
  std::wstring PagePath() const { return (folder / "page.html").wstring(); }
  std::string ReadPage() const { return ReadFileBytes(folder / "page.html"); }
  std::filesystem::path folder;
  std::optional<ScopedEnv> tmpdir;
};

}  // namespace zem::testing
