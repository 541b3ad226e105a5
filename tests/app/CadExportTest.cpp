// STEP models through the program: the edges reach the page where the
// display mode shows them. (What the reader makes of the parts is the CAD
// reader's test; a batch past a model that cannot be read is the program's.)
#include <gtest/gtest.h>

#include "tests/app/ProgramRun.h"

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

using zem::testing::Outcome;
using zem::testing::ReadFileBytes;
using zem::testing::Zem;

class CadExportTest : public zem::testing::ProgramTest {};

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(CadExportTest, AStepAssemblyReachesThePageShadedInItsColoursWithItsEdgesWhereTheModeShowsThem) {
  const std::string model = (fs::path(ZEM_TEST_DATA_DIR) / "cad" / "assembly.step").string();
  const fs::path page = folder / "pair.html", rendered = folder / "rendered.html";
  Outcome run = Zem({"export", model, "-o", page.string()});
  ASSERT_EQ(run.code, 0) << run.err;
  Outcome plain = Zem({"export", model, "-o", rendered.string(), "--display-mode", "Rendered"});
  ASSERT_EQ(plain.code, 0) << plain.err;
  // Two instances of a box, red and green, with 12 edges each.
  const std::string html = ReadFileBytes(page);
  EXPECT_EQ(Count(html, "mat.push(1,0,0,"), 1u);
  EXPECT_EQ(Count(html, "mat.push(0,1,0,"), 1u);
  EXPECT_EQ(Count(html, "lbl.push(2);"), 24u);
  // The Rendered mode draws no polysurface edges; the shaded parts stay.
  const std::string renderedHtml = ReadFileBytes(rendered);
  EXPECT_EQ(Count(renderedHtml, "lbl.push("), 0u);
  EXPECT_EQ(Count(renderedHtml, "mat.push(1,0,0,"), 1u);
}

}  // namespace
