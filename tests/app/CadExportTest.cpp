// STEP and IGES models through the program: what reaches the page, and a
// batch in which one model's reader fails.
#include <gtest/gtest.h>

#include "tests/app/ProgramRun.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using zem::testing::Outcome;
using zem::testing::ProgramTest;
using zem::testing::ReadFileBytes;
using zem::testing::Zem;

std::string Cad(const char* name) { return (fs::path(ZEM_TEST_DATA_DIR) / "cad" / name).string(); }

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(ProgramTest, AStepAssemblyReachesThePageShadedInItsColoursWithItsEdgesWhereTheModeShowsThem) {
  const fs::path page = folder / "pair.html", rendered = folder / "rendered.html";
  Outcome run = Zem({"export", Cad("assembly.step"), "-o", page.string()});
  ASSERT_EQ(run.code, 0) << run.err;
  Outcome plain = Zem({"export", Cad("assembly.step"), "-o", rendered.string(), "--display-mode", "Rendered"});
  ASSERT_EQ(plain.code, 0) << plain.err;
  const std::string html = ReadFileBytes(page);
  // Two instances of a box: 12 triangles and 12 edges each, red and green.
  EXPECT_EQ(Count(html, "cols.push(1,0,0);"), 12u);
  EXPECT_EQ(Count(html, "cols.push(0,1,0);"), 12u);
  EXPECT_EQ(Count(html, "mat.push(1,0,0,"), 1u);
  EXPECT_EQ(Count(html, "mat.push(0,1,0,"), 1u);
  EXPECT_EQ(Count(html, "lbl.push(2);"), 24u);
  // The Rendered mode draws no polysurface edges; the shaded parts stay.
  const std::string renderedHtml = ReadFileBytes(rendered);
  EXPECT_EQ(Count(renderedHtml, "lbl.push("), 0u);
  EXPECT_EQ(Count(renderedHtml, "mat.push(1,0,0,"), 1u);
}

TEST_F(ProgramTest, ABatchGoesOnPastAStepFileTheReaderCannotRead) {
  const fs::path broken = folder / "broken.step";
  std::ofstream(broken) << "ISO-10303-21;\nHEADER;\nthis is no STEP file\n";
  Outcome run =
      Zem({"export", broken.string(), Cad("box.step"), Cad("trimmed.igs"), "-o", (folder / "pages").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("cannot read " + broken.string() + ": not a STEP file the reader can read"), std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(folder / "pages" / "broken.html"));
  EXPECT_TRUE(fs::exists(folder / "pages" / "box.html"));
  EXPECT_TRUE(fs::exists(folder / "pages" / "trimmed.html"));
}

}  // namespace
