#pragma once
// What the scene-writer tests share: a temporary folder that also serves as
// the system's temporary folder, and the page written by a writer.
#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TestFolder.h"

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zem::testing {

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = TestFolder("zem-capture");
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

// The numbers of every "prefix(...)" call in text, one list per call.
inline std::vector<std::vector<double>> Calls(const std::string& text, const std::string& prefix) {
  std::vector<std::vector<double>> calls;
  for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) {
    auto open = at + prefix.size();
    auto close = text.find(')', open);
    std::string args = text.substr(open, close - open);
    std::vector<double> numbers;
    std::stringstream in(args);
    std::string item;
    while (std::getline(in, item, ',')) numbers.push_back(std::stod(item));
    calls.push_back(numbers);
  }
  return calls;
}

inline std::size_t Count(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

}  // namespace zem::testing
