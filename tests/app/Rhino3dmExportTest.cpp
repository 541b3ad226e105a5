#include "app/Program.h"

#include <gtest/gtest.h>

#include "tests/app/ProgramRun.h"

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

using zem::testing::Outcome;
using zem::testing::ReadFileBytes;
using zem::testing::Zem;

const fs::path kData = fs::path(ZEM_TEST_DATA_DIR) / "3dm";

class Rhino3dmExportTest : public zem::testing::ProgramTest {};

// The dot's text from the file reaches the page escaped like any text. (Why
// a file cannot be read is the reader's test; that the program passes it on,
// and a batch goes on past it, the program's.)
TEST_F(Rhino3dmExportTest, ADocumentsTextsReachThePageEscaped) {
  const fs::path page = folder / "curves.html";
  const Outcome run = Zem({"export", (kData / "curves.3dm").string(), "-o", page.string()});
  ASSERT_EQ(run.code, 0) << run.err;
  const std::string html = ReadFileBytes(page);
  EXPECT_NE(html.find("Dot &lt;b&gt;&amp;amp;&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(html.find("<b>&amp;</b>"), std::string::npos);
}

// Real .3dm files written by others (../shared/models/3dm from the
// project's root, when it is there): each exports or fails with a reason.
TEST_F(Rhino3dmExportTest, RealFilesExportWhenTheyAreThere) {
  const fs::path shared = fs::path(ZEM_TEST_DATA_DIR) / ".." / ".." / ".." / "shared" / "models" / "3dm";
  if (!fs::is_directory(shared)) GTEST_SKIP() << "no folder " << shared;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(shared)) {
    if (entry.path().extension() != ".3dm") continue;
    ++files;
    const Outcome run = Zem({"export", entry.path().string(), "-o", (folder / "real.html").string(), "--quiet"});
    EXPECT_TRUE(run.code == 0 || run.err.find("cannot read") != std::string::npos) << entry.path() << run.err;
    if (run.code == 0) {
      EXPECT_GT(fs::file_size(folder / "real.html"), 10000u) << entry.path();
    }
    fs::remove(folder / "real.html");
  }
  EXPECT_GT(files, 0);
}

}  // namespace
