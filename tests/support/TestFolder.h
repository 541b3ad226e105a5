#pragma once
// A temporary folder path of the running test: the prefix, the process id,
// the suite and the test name, so that tests run in parallel (ctest -j, two
// suites with one test name) never share a folder. Nothing is created.
// Also a whole file read as bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zem::testing {

inline std::filesystem::path TestFolder(const std::string& prefix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::filesystem::temp_directory_path() /
         (prefix + "-" + std::to_string(getpid()) + "-" + info->test_suite_name() + "-" + info->name());
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace zem::testing
