#include "page/ZEM_WebGLExport.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>

#include "tests/support/CaptureTestSupport.h"
#include "tests/support/Golden.h"

namespace {

namespace fs = std::filesystem;
using zem::testing::Count;

class TestExport : public ZEM_WebGLExport {
 public:
  bool HasTexture(int) override { return false; }
};

class ZEM_WebGLExportTest : public zem::testing::TempFolderTest {
 protected:
  zem::testing::ScopedEnv epoch{"SOURCE_DATE_EPOCH", "86400"};
  // Writes a whole page: prologue, one data function, body.
  std::string Write(TestExport& page) {
    EXPECT_TRUE(page.OpenPage(PagePath()));
    page.WriteRaw(L"function initView(veye,vtar,vx,vy){\nreturn 45;}\n");
    EXPECT_TRUE(page.WriteBody());
    EXPECT_TRUE(page.ClosePage());
    return ReadPage();
  }
};

// Every fixed piece of the page, the texts of a linked author with notes,
// texture images by slot number (JPEG and PNG),
// custom cube faces, the preview picture and dot labels (dark text from a
// colour sum of 255), all with CR LF line ends.
TEST_F(ZEM_WebGLExportTest, MatchesTheGoldenPage) {
  TestExport page;
  page.SetTexts({.title = L"Bike & <Co>",
                 .author = L"Ann",
                 .authorLink = L"mailto:ann@example.com",
                 .notes = L"First line\r\nSecond line",
                 .createdUsing = L"the test writer version 1.0.0"});
  ASSERT_EQ(page.AddImage("AAAA", true), 0);
  ASSERT_EQ(page.AddImage("BBBB", false), 1);
  std::array<std::optional<std::string>, 6> faces;
  for (int k = 0; k < 6; ++k) faces[k] = "FACE" + std::to_string(k + 1);
  page.SetCubeFaces(faces);
  page.SetPreviewImage("PREVIEW");
  ASSERT_TRUE(page.OpenPage(PagePath()));
  page.WriteRaw(L"function initView(veye,vtar,vx,vy){\nreturn 45;}\n");
  page.AddDot({1, 2, 3}, L"dark", 100, 100, 54);
  page.AddDot({4, 5, 6}, L"light", 100, 100, 55);
  page.AddDot({7, 8, 9}, L"<b>x</b>", 255, 128, 0);
  ASSERT_TRUE(page.WriteBody());
  ASSERT_TRUE(page.ClosePage());
  const std::string html = zem::testing::MaskPictures(ReadPage());
  EXPECT_EQ(Count(html, "\n"), Count(html, "\r\n")) << "a bare line feed";
  zem::testing::ExpectSameAsGolden(html, "golden-page.html");
}

// Each text is escaped for where it lands; none can end the header comment
// early, open an element or leave an attribute.
TEST_F(ZEM_WebGLExportTest, EscapesPageTextsWhereverTheyLand) {
  TestExport page;
  ZEM_WebGLExport::PageTexts texts{.title = L"A & B <x> --> \u20ac",
                                   .author = L"<b>Eve</b>",
                                   .authorLink = L"http://example.com/?a=\"onmouseover=\"x",
                                   .notes = L"</pre><script>alert(1)</script>",
                                   .createdUsing = L"<i>"};
  page.SetTexts(texts);
  std::string html = Write(page);
  const std::string title = "A &amp; B &lt;x&gt; --&gt; &#8364;";
  EXPECT_EQ(Count(html, title), 4u) << "header comment, window title, heading and the canvas's name";
  EXPECT_EQ(Count(html, "-->"), 1u) << "only the real end of the header comment";
  EXPECT_EQ(Count(html, "<script>"), 0u);
  EXPECT_EQ(Count(html, "<b>"), 0u);
  EXPECT_EQ(Count(html, "<i>"), 0u);
  EXPECT_NE(html.find("?a=&quot;onmouseover=&quot;x\""), std::string::npos);
  // The rule under the title is as wide as the title as typed.
  EXPECT_NE(html.find("width:" + std::to_string(20 * texts.title.size()) + "px"), std::string::npos);
  // A script link is written as no link at all.
  texts.authorLink = L" JavaScript:alert(1)";
  page.SetTexts(texts);
  const std::string scripted = Write(page);
  texts.authorLink.clear();
  page.SetTexts(texts);
  EXPECT_EQ(scripted, Write(page));
}

TEST_F(ZEM_WebGLExportTest, NeverCutsLongTexts) {
  TestExport page;
  ZEM_WebGLExport::PageTexts texts;
  texts.title = std::wstring(3000, L'T') + L"END";
  texts.createdUsing = std::wstring(2000, L'C') + L"FIN";
  page.SetTexts(texts);
  std::string html = Write(page);
  EXPECT_NE(html.find(std::string(3000, 'T') + "END</h2>"), std::string::npos);
  EXPECT_NE(html.find(std::string(2000, 'C') + "FIN."), std::string::npos);
}

TEST_F(ZEM_WebGLExportTest, OpeningResetsBoxAndDots) {
  TestExport page;
  ASSERT_TRUE(page.OpenPage(PagePath()));
  const float p[3] = {1, -2, 3};
  const float q[3] = {-1, 5, 0};
  page.ExtendBounds(p);
  page.ExtendBounds(q);
  EXPECT_EQ((std::array{page.BoxMin()[0], page.BoxMin()[1], page.BoxMin()[2]}), (std::array{-1.f, -2.f, 0.f}));
  EXPECT_EQ((std::array{page.BoxMax()[0], page.BoxMax()[1], page.BoxMax()[2]}), (std::array{1.f, 5.f, 3.f}));
  page.AddDot({0, 0, 0}, L"d", 0, 0, 0);
  ASSERT_TRUE(page.OpenPage((folder / "second.html").wstring()));
  EXPECT_EQ(page.BoxMin()[0], ZEM_WebGLExport::kLargestFloat);
  EXPECT_EQ(page.BoxMax()[2], -ZEM_WebGLExport::kLargestFloat);
  EXPECT_TRUE(page.Dots().empty());
}

TEST_F(ZEM_WebGLExportTest, WritersDoNothingWithoutAnOpenPage) {
  TestExport page;
  EXPECT_FALSE(page.WriteRaw(L"x"));
  EXPECT_FALSE(page.WriteBody());
  EXPECT_FALSE(fs::exists(folder / "page.html"));
  EXPECT_FALSE(page.OpenPage((folder / "missing" / "page.html").wstring()));
  EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST_F(ZEM_WebGLExportTest, DestroyingAnOpenWriterCompletesThePage) {
  {
    TestExport page;
    ASSERT_TRUE(page.OpenPage(PagePath()));
    page.AddDot({0, 0, 0}, L"kept", 1, 2, 3);
  }
  std::string html = ReadPage();
  EXPECT_NE(html.find("&nbsp;kept&nbsp;"), std::string::npos);
  EXPECT_EQ(html.substr(html.size() - 16), "</body></html>\r\n");
}

TEST_F(ZEM_WebGLExportTest, RemembersAFailedWrite) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  TestExport page;
  ASSERT_TRUE(page.OpenPage(L"/dev/full"));
  page.WriteBody();
  EXPECT_FALSE(page.ClosePage());
  EXPECT_TRUE(page.WriteFailed());
  // A new page starts clean.
  ASSERT_TRUE(page.OpenPage(PagePath()));
  EXPECT_FALSE(page.WriteFailed());
  EXPECT_TRUE(page.ClosePage());
}

// The golden page pins the date of a set SOURCE_DATE_EPOCH; without it the
// header carries the time of writing.
TEST_F(ZEM_WebGLExportTest, HeaderDateIsTheTimeOfWritingWithoutSourceDateEpoch) {
  TestExport page;
  unsetenv("SOURCE_DATE_EPOCH");
  std::regex ctime("Date: (Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [ 123][0-9] \\d\\d:\\d\\d:\\d\\d \\d{4}\r\n");
  EXPECT_TRUE(std::regex_search(Write(page), ctime));
}

}  // namespace
