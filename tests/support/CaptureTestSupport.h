#pragma once
// What the scene-writer tests share: a temporary folder that also serves as
// the system's temporary folder, and the page written by a writer.
#include <gtest/gtest.h>

#include "tests/support/TestFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zem::testing {

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TMPDIR")) savedTmpdir = old;
    folder = TestFolder("zem-capture");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    setenv("TMPDIR", folder.c_str(), 1);
  }
  void TearDown() override {
    if (savedTmpdir)
      setenv("TMPDIR", savedTmpdir->c_str(), 1);
    else
      unsetenv("TMPDIR");
    std::filesystem::remove_all(folder);
  }
  std::wstring PagePath() const { return (folder / "page.html").wstring(); }
  std::string ReadPage() const {
    std::ifstream in(folder / "page.html", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path folder;
  std::optional<std::string> savedTmpdir;
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
