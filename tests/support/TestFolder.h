#pragma once
// A temporary folder path of the running test: the prefix, the process id,
// the suite and the test name, so that tests run in parallel (ctest -j, two
// suites with one test name) never share a folder. Nothing is created.
// Also a whole file read as bytes, and the folder pictures for a person to
// look at are kept in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
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

// `area` under the build's test artifacts (ZEM_TEST_ARTIFACTS), made if need be.
inline std::filesystem::path ArtifactFolder(const std::string& area) {
  const char* root = std::getenv("ZEM_TEST_ARTIFACTS");
  const std::filesystem::path folder = std::filesystem::path(root ? root : "test-artifacts") / area;
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace zem::testing
