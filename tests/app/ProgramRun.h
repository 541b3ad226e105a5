#pragma once
// zem-webgl run in the test's process, and a fixture with a folder of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "tests/support/TestFolder.h"

namespace zem::testing {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

inline Outcome Zem(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = zem::app::RunProgram(args, out, err, {ZEM_WEBGL_PROGRAM, false});
  return {code, out.str(), err.str()};
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = TestFolder("zem-app");
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
};

}  // namespace zem::testing
