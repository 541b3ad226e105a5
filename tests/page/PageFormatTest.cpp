// The writers' side of the page format (page/PageFormat.h) against the
// viewer's side, read from the viewer's sources: the data functions it
// calls, the buffer layouts it binds, the material record it reads and the
// texture modes its shader knows.
#include "page/PageFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

namespace pf = zem::page_format;

std::string WithoutBlanks(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
  return text;
}

class PageFormatTest : public ::testing::Test {
 protected:
  const std::filesystem::path viewerFolder = std::filesystem::path(ZEM_TEST_DATA_DIR) / ".." / ".." / "page" / "viewer";
  const std::string viewer = WithoutBlanks(viewerFolder / "viewer.js");
  const std::string shader = WithoutBlanks(viewerFolder / "mat-fs.glsl");
};

// The viewer's arguments may carry other names; their number must agree.
TEST_F(PageFormatTest, TheViewerCallsEachDataFunctionWithItsParameters) {
  ASSERT_FALSE(viewer.empty());
  auto arity = [](std::string_view call) { return std::count(call.begin(), call.end(), ',') + 1; };
  for (std::string_view signature :
       {pf::kInitVB, pf::kInitTextures, pf::kInitCurves, pf::kInitDots, pf::kInitView, pf::kInitBack}) {
    const std::string name(signature.substr(9, signature.find('(') - 9));
    const std::regex callOf(name + R"(\(([^()]*)\);)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(viewer, m, callOf)) << name;
    EXPECT_EQ(arity(m[1].str()), arity(signature)) << name;
  }
}

TEST_F(PageFormatTest, TheViewerBindsBuffersWithTheWritersStridesAndOffsets) {
  static const std::regex call(R"(gl\.vertexAttribPointer\([^;]*\);)");
  for (const std::string& calls :
       {pf::MeshAttributeCalls(true), pf::MeshAttributeCalls(false), pf::CurveAttributeCall()}) {
    int found = 0;
    for (std::sregex_iterator it(calls.begin(), calls.end(), call), end; it != end; ++it, ++found)
      EXPECT_NE(viewer.find(it->str()), std::string::npos) << it->str();
    EXPECT_GT(found, 0);
  }
}

TEST_F(PageFormatTest, TheViewerReadsTheMaterialRecordFieldByField) {
  static const std::regex record(R"(varo=(?:m|mi\[i\])\*(\d+);)");
  int records = 0;
  for (std::sregex_iterator it(viewer.begin(), viewer.end(), record), end; it != end; ++it, ++records)
    EXPECT_EQ(std::stoi((*it)[1]), pf::kMaterialRecordSize);
  EXPECT_EQ(records, 2) << "the material in use and the transparency test";
  auto at = [](int field) { return field == 0 ? std::string("mat[o]") : "mat[o+" + std::to_string(field) + "]"; };
  const std::pair<std::string, int> uses[] = {{"uniform3f(difLoc,", pf::kDiffuse},
                                              {"uniform3f(specLoc,", pf::kSpecular},
                                              {"uniform3f(reflColLoc,", pf::kReflectionColour},
                                              {"uniform1f(reflLoc,", pf::kReflectivity},
                                              {"uniform1f(transLoc,", pf::kTransparency},
                                              {"uniform1f(refrLoc,", pf::kRefraction},
                                              {"uniform1f(shineLoc,", pf::kShine},
                                              {"varmode=", pf::kTextureMode},
                                              {"vartn=", pf::kTextureNumber}};
  for (const auto& [use, field] : uses) EXPECT_NE(viewer.find(use + at(field)), std::string::npos) << use;
}

TEST_F(PageFormatTest, TheShaderKnowsBothTextureModes) {
  EXPECT_NE(shader.find("texmode==" + std::to_string(pf::kModulate) + "){col=col*texture2D("), std::string::npos);
  EXPECT_NE(shader.find("texmode==" + std::to_string(pf::kDecal) + "){"), std::string::npos);
}

}  // namespace
