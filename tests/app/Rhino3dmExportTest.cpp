#include "app/Program.h"

#include <gtest/gtest.h>

#include "tests/app/ProgramRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using zem::testing::Outcome;
using zem::testing::ReadFileBytes;
using zem::testing::Zem;

const fs::path kData = fs::path(ZEM_TEST_DATA_DIR) / "3dm";

class Rhino3dmExportTest : public zem::testing::ProgramTest {};

TEST_F(Rhino3dmExportTest, ABatchOfDocumentsExportsTheGoodOnesEscapedAndNamesWhyTheOthersFailed) {
  const std::string whole = ReadFileBytes(kData / "curves.3dm");
  std::ofstream(folder / "cut.3dm", std::ios::binary) << whole.substr(0, whole.size() / 3);
  const fs::path pages = folder / "pages";
  const Outcome run = Zem({"export", "-o", pages.string(), (kData / "curves.3dm").string(),
                           (kData / "nothing-to-show.3dm").string(), (folder / "cut.3dm").string()});
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_EQ(run.err.find("curves.3dm: failed"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("nothing-to-show.3dm: failed"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("cut.3dm: failed"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(pages / "nothing-to-show.html"));
  EXPECT_FALSE(fs::exists(pages / "cut.html"));
  // The dot's text from the file reaches the page escaped like any text.
  const std::string page = ReadFileBytes(pages / "curves.html");
  EXPECT_NE(page.find("Dot &lt;b&gt;&amp;amp;&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(page.find("<b>&amp;</b>"), std::string::npos);

  // Alone, each says why.
  for (const auto& [model, says] :
       {std::pair{kData / "nothing-to-show.3dm", "nothing the page can show (the file holds only: 1 Light)"},
        std::pair{folder / "cut.3dm", "truncated or damaged"}}) {
    const Outcome alone = Zem({"export", model.string(), "-o", (folder / "x.html").string()});
    EXPECT_EQ(alone.code, 1);
    EXPECT_NE(alone.err.find(says), std::string::npos) << alone.err;
    EXPECT_FALSE(fs::exists(folder / "x.html"));
  }
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
    if (run.code == 0) EXPECT_GT(fs::file_size(folder / "real.html"), 10000u) << entry.path();
    fs::remove(folder / "real.html");
  }
  EXPECT_GT(files, 0);
}

}  // namespace
