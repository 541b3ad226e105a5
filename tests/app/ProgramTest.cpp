#include "app/Program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome Zem(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int code = zem::app::RunProgram(args, out, err);
  return {code, out.str(), err.str()};
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             (std::string("zem-app-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  fs::path folder;
};

TEST_F(ProgramTest, DemoWritesACompletePageAndNamesIt) {
  fs::path page = folder / "demo page.html";
  Outcome run = Zem({"demo", "-o", page.string()});
  EXPECT_EQ(run.code, 0) << run.err;
  ASSERT_TRUE(fs::exists(page));
  EXPECT_NE(run.out.find(page.string()), std::string::npos);
  EXPECT_NE(run.out.find(std::to_string(fs::file_size(page)) + " bytes"), std::string::npos);
  EXPECT_GT(fs::file_size(page), 10000u);
}

TEST_F(ProgramTest, QuietPrintsNothing) {
  Outcome run = Zem({"demo", "-o", (folder / "q.html").string(), "--quiet"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

TEST_F(ProgramTest, HelpAndVersionSucceed) {
  Outcome help = Zem({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("zem-webgl demo"), std::string::npos);
  Outcome version = Zem({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out.rfind("zem-webgl ", 0), 0u);
}

TEST_F(ProgramTest, RejectsBadCommandLinesWithUsageCode) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"demo", "--bogus"}, {"demo", "-o"}, {"--version", "extra"}}) {
    Outcome run = Zem(args);
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("zem-webgl: "), std::string::npos);
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(ProgramTest, MissingOutputFolderIsAClearFailure) {
  Outcome run = Zem({"demo", "-o", (folder / "nowhere" / "p.html").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(folder / "nowhere"));
}

TEST_F(ProgramTest, FailedWriteIsReportedAndNotPresentedAsAPage) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  // A page whose every write fails: a link to the full device.
  fs::path page = folder / "full.html";
  fs::create_symlink("/dev/full", page);
  Outcome run = Zem({"demo", "-o", page.string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("failed"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  // Only regular files are removed: the device stays.
  EXPECT_TRUE(fs::exists("/dev/full"));
}

}  // namespace
