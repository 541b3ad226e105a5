#pragma once
// A temporary folder path of the running test: the prefix, the process id,
// the suite and the test name, so that tests run in parallel (ctest -j, two
// suites with one test name) never share a folder. Nothing is created.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace zem::testing {

inline std::filesystem::path TestFolder(const std::string& prefix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(getpid()) + "-" +
                                                   info->test_suite_name() + "-" + info->name());
}

}  // namespace zem::testing
