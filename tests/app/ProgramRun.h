#pragma once
// zem-webgl run in the test's process or alone, and a fixture with a folder of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// zem-webgl as a fresh process of its own, its output dropped; its exit status.
inline int ZemAlone(const std::vector<std::string>& args) {
  std::string command = std::string("'") + ZEM_WEBGL_PROGRAM + "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  return std::system((command + " > /dev/null 2>&1").c_str());
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

// An OBJ grid of n x n quadrangles whose page takes a while to write
// (n = 300: about 30 MB).
inline std::filesystem::path WriteGridObj(const std::filesystem::path& obj, int n) {
  std::ofstream out(obj);
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j)
      out << "v " << i * 0.0123 << ' ' << j * 0.0171 << ' ' << (i * j % 97) * 0.00113 << '\n';
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const int a = i * (n + 1) + j + 1, b = a + n + 1;
      out << "f " << a << ' ' << b << ' ' << b + 1 << ' ' << a + 1 << '\n';
    }
  return obj;
}

}  // namespace zem::testing
