// File names are the bytes the system gave: names that are not UTF-8 are
// read, found and written as they are, and show as U+FFFD in page texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "standin/host/CRhinoDib.h"
#include "tests/app/ProgramRun.h"

namespace {

namespace fs = std::filesystem;

using zem::testing::Outcome;
using zem::testing::ProgramTest;
using zem::testing::Zem;

class ByteNamesTest : public ProgramTest {};

TEST_F(ByteNamesTest, NamesThatAreNotUtf8AreKeptAsTheirBytes) {
  ASSERT_TRUE(CRhinoDib(2, 2, 24).WriteToFile((folder / "pixel.png").wstring().c_str()));
  const std::string pixel = zem::testing::ReadFileBytes(folder / "pixel.png");
  std::vector<std::string> models;
  // Latin-1, a lone continuation byte, a broken sequence, and UTF-8 (which
  // the page holds as ISO-8859-1).
  for (const auto& [name, title] : std::vector<std::pair<std::string, std::string>>{
           {"caf\xe9", "caf&#65533;"}, {"x\x80y", "x&#65533;y"}, {"\xc3(", "&#65533;("}, {"caf\xc3\xa9", "caf\xe9"}}) {
    const fs::path in = folder / (name + "-in");
    fs::create_directories(in);
    std::ofstream(in / (name + ".png"), std::ios::binary) << pixel;
    std::ofstream(in / (name + ".mtl")) << "newmtl m\nmap_Kd " << name << ".png\n";
    std::ofstream(in / (name + ".obj")) << "mtllib " << name
                                        << ".mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\n"
                                           "usemtl m\nf 1/1/1 2/2/1 3/3/1\n";
    const fs::path page = folder / (name + "-page.html");
    const Outcome run = Zem({"export", (in / (name + ".obj")).string(), "-o", page.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err.find("not found"), std::string::npos) << "the texture is found: " << run.err;
    const std::string html = zem::testing::ReadFileBytes(page);
    EXPECT_NE(html.find("<title>" + title + "</title>"), std::string::npos) << title;
    EXPECT_NE(html.find("id=\"tex1\""), std::string::npos) << title;
    // Next to the model as well.
    ASSERT_EQ(Zem({"export", (in / (name + ".obj")).string(), "--quiet"}).code, 0);
    EXPECT_TRUE(fs::exists(in / (name + ".html"))) << title;
    models.push_back((in / (name + ".obj")).string());
  }
  // A batch hands each model's name to a program of its own.
  models.insert(models.begin(), {"export", "-o", (folder / "out/").string(), "--quiet"});
  const Outcome batch = Zem(models);
  ASSERT_EQ(batch.code, 0) << batch.err;
  for (const char* page : {"caf\xe9.html", "x\x80y.html", "\xc3(.html", "caf\xc3\xa9.html"})
    EXPECT_TRUE(fs::exists(folder / "out" / page)) << page;
}

}  // namespace
