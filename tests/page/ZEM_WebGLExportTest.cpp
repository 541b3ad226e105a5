#include "page/ZEM_WebGLExport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TestExport : public ZEM_WebGLExport {
 public:
  bool HasTexture(int) override { return false; }
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::size_t Count(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

// Checks that the pieces occur in the page in this order.
void ExpectInOrder(const std::string& page, const std::vector<std::string>& pieces) {
  std::size_t at = 0;
  for (const auto& piece : pieces) {
    auto found = page.find(piece, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << piece;
    at = found + piece.size();
  }
}

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SOURCE_DATE_EPOCH", "86400", 1);
    folder = fs::temp_directory_path() /
             (std::string("zem-page-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
    path = folder / "page.html";
  }
  void TearDown() override {
    unsetenv("SOURCE_DATE_EPOCH");
    fs::remove_all(folder);
  }
  // Writes a whole page: prologue, one data function, body.
  std::string Write(TestExport& page) {
    EXPECT_TRUE(page.OpenPage(path.wstring()));
    page.WriteRaw(L"function initView(veye,vtar,vx,vy){\nreturn 45;}\n");
    EXPECT_TRUE(page.WriteBody());
    EXPECT_TRUE(page.ClosePage());
    return ReadAll(path);
  }
  fs::path folder;
  fs::path path;
};

TEST_F(PageTest, HoldsEveryFixedPieceInOrderWithCrLfLineEnds) {
  TestExport page;
  page.title = L"Bike";
  page.author = L"Ann";
  page.createdUsing = L"free ZEM WebGL Export for Rhino version 1.0.0";
  std::string html = Write(page);

  ExpectInOrder(html, {
      "<!--\r\n     WebGL Model: Bike\r\n     Author: Ann\r\n     Date: Fri Jan  2 00:00:00 1970\r\n\r\n"
      "     Created using free ZEM WebGL Export for Rhino version 1.0.0\r\n\r\n     ",
      "\r\n-->\r\n<!DOCTYPE html><html>\r\n<head><meta charset=\"iso-8859-1\"/><meta http-equiv=\"X-UA-Compatible\" "
      "content=\"IE=edge\"/><meta http-equiv=\"X-UA-Compatible\" content=\"chrome=1\"/><title>Bike</title>\r\n",
      "<link rel=\"shortcut icon\" href=\"data:image/x-icon;base64,",
      "\" type=\"image/ico\" /></head>",
      "<img id=\"cube1\" style=\"display: none;\" src=\"data:image/jpeg;base64,", "\"></img>\r\n",
      "<img id=\"cube6\" style=\"display: none;\" src=\"data:image/jpeg;base64,", "\"></img>\r\n",
      "<style type=\"text/css\">", "</style>\r\n",
      "<script id=\"back-vs\" type=\"x-shader/x-vertex\">\r\n", "</script>\r\n",
      "<script id=\"back-fs\" type=\"x-shader/x-fragment\">\r\n", "</script>\r\n",
      "<script id=\"mat-vs\" type=\"x-shader/x-vertex\">\r\n", "</script>\r\n",
      "<script id=\"mat-fs\" type=\"x-shader/x-fragment\">\r\n", "</script>\r\n",
      "<script id=\"c-vs\" type=\"x-shader/x-vertex\">\r\n", "</script>\r\n",
      "<script id=\"c-fs\" type=\"x-shader/x-fragment\">\r\n", "</script>\r\n",
      "<script type=\"text/javascript\">\r\n", "function ZEMVector", "function ZEMMat",
      "function initView(veye,vtar,vx,vy){\r\nreturn 45;}\r\n",
      "function initWebGL", "</script>\r\n",
      "<body onload=\"initWebGL();\" onresize=\"OnResize();\">",
      "<img style=\"width:100%;height:100%;position:fixed;left:0;top:0;\" src=\"data:image/png;base64,", "\"/>",
      "<div style=\"position:absolute;width:100%;height:100%;left:0px;top:0px;background-image:url('data:image/"
      "png;base64,",
      "');background-size:8px;background-repeat:repeat-x;background-position:center;\">",
      "<div id=\"TRL\"></div><div id=\"BX\"></div><div id=\"LTShadow\"><h2>Bike</h2>",
      "<hr noshade style=\"position:absolute;left:0;top:47px;height:1px;width:80px;color:black;background-color:"
      "black;border:0px\">",
      "<span style=\"color:black\">Author:</span>&nbsp;Ann</div>",
      "<div id=\"Container\">",
      "<div id=\"HelpText\" onmousedown=\"OnHelp(event)\"><h4>Created using free ZEM WebGL Export for Rhino "
      "version 1.0.0.</h4> <h3>Usage:</h3><ul><li>Hold left mouse button to rotate.</li><li>Use mouse wheel or "
      "middle button to zoom in/out.</li><li>Click to start/reverse turn table.</ul></div>\r\n",
      "<div id=\"ErrorText\"><h2>Please enable JavaScript to view this page correctly !</h2></div>\r\n",
      "<div id=\"Icon\"><img id=\"edge\" width=\"32\" height=\"32\" title=\"Click to turn the page.\" "
      "src=\"data:image/png;base64,",
      "\" onmousedown=\"OnHelp(event)\"></div>\r\n",
      "<div id=\"Edge\"><img id=\"edge1\" width=\"32\" height=\"32\" title=\"Click to turn the page.\" "
      "src=\"data:image/jpeg;base64,",
      "\" onmousedown=\"OnHelp(event)\"></div>\r\n",
      "<div id=\"Fold\"><img id=\"fold\" title=\"Click to see notes and help.\" src=\"data:image/png;base64,",
      "\" onmousedown=\"OnHelp(event)\"></div>\r\n",
      "<div id=\"GLCanvas\"><canvas id=\"WebGLCanvas\"></canvas></div>\r\n",
      "</div>\r\n<div id=\"STShadow\">Created using free <a href=\"",
      "\">&raquo;ZEM WebGL Export</a> for Rhinoceros&nbsp;&reg;.</div><div id=\"Logo\"><a href=\"",
      "\"><img src=\"data:image/png;base64,", "\"/></a></div></body></html>\r\n"});

  // Every line feed ends a CR LF pair, and the page ends with the last piece.
  EXPECT_EQ(Count(html, "\n"), Count(html, "\r\n"));
  EXPECT_EQ(html.substr(html.size() - 16), "</body></html>\r\n");
  // Six cube faces, no texture images, no preview.
  EXPECT_EQ(Count(html, "<img id=\"cube"), 6u);
  EXPECT_EQ(Count(html, "<img id=\"tex"), 0u);
  EXPECT_EQ(Count(html, "GLPreview\" style"), 0u);
}

TEST_F(PageTest, WritesEachViewerTextOnOneLine) {
  TestExport page;
  std::string html = Write(page);
  auto styleStart = html.find("<style type=\"text/css\">");
  auto styleEnd = html.find("</style>");
  ASSERT_LT(styleStart, styleEnd);
  std::string style = html.substr(styleStart, styleEnd - styleStart);
  EXPECT_EQ(Count(style, "\r\n"), 1u);
  EXPECT_EQ(style.substr(style.size() - 2), "\r\n");
}

TEST_F(PageTest, WritesTextureSlotsByNumberSkippingEmptyOnes) {
  TestExport page;
  page.m_imageCount = 3;
  page.m_images[0] = "AAAA";
  page.m_images[2] = "BBBB";
  page.m_imageIsJpeg[2] = false;
  page.m_images[5] = "CCCC";  // beyond the count: not written
  std::string html = Write(page);
  EXPECT_EQ(Count(html, "<img id=\"tex"), 2u);
  EXPECT_NE(html.find("<img id=\"tex1\" style=\"display: none;\" src=\"data:image/jpeg;base64,AAAA\"></img>\r\n"),
            std::string::npos);
  EXPECT_NE(html.find("<img id=\"tex3\" style=\"display: none;\" src=\"data:image/png;base64,BBBB\"></img>\r\n"),
            std::string::npos);
  EXPECT_LT(html.find("tex3"), html.find("cube1"));
}

TEST_F(PageTest, WritesCustomCubeFacesOnlyWithTheDefaultCubeOff) {
  TestExport page;
  page.m_cubeFaces[0] = "CUSTOMFACE";
  EXPECT_EQ(Count(Write(page), "CUSTOMFACE"), 0u);
  page.m_useDefaultCube = false;
  std::string html = Write(page);
  EXPECT_NE(html.find("<img id=\"cube1\" style=\"display: none;\" src=\"data:image/jpeg;base64,CUSTOMFACE\">"),
            std::string::npos);
  EXPECT_EQ(Count(html, "<img id=\"cube"), 6u);
}

TEST_F(PageTest, RuleWidthIsTwentyPixelsPerTitleCharacter) {
  TestExport page;
  page.title = L"Twelve chars";
  EXPECT_NE(Write(page).find("width:240px;"), std::string::npos);
  page.title = L"";
  EXPECT_NE(Write(page).find("width:0px;"), std::string::npos);
  // Counted as typed, before escaping.
  page.title = L"A&B";
  EXPECT_NE(Write(page).find("width:60px;"), std::string::npos);
}

TEST_F(PageTest, WritesLinkedAuthorAndNotesWhenGiven) {
  TestExport page;
  page.author = L"Ann";
  page.authorLink = L"mailto:ann@example.com";
  page.notes = L"First line\r\nSecond line";
  page.createdUsing = L"X";
  std::string html = Write(page);
  EXPECT_NE(html.find("<span style=\"color:black\">Author:</span> <a href=\"mailto:ann@example.com\">&nbsp;&raquo;"
                      "Ann</a></div>"),
            std::string::npos);
  EXPECT_NE(html.find("<div id=\"HelpText\" onmousedown=\"OnHelp(event)\"><h3>Notes:</h3><pre><font size=\"2\" "
                      "color=\"#ffffff\" face=\"Arial\">First line\r\nSecond line</pre></font><h4>Created using "
                      "X.</h4> <h3>Usage:</h3>"),
            std::string::npos);
  // CR LF notes must not turn into CR CR LF.
  EXPECT_EQ(Count(html, "\r\r"), 0u);
}

TEST_F(PageTest, WritesPreviewOnlyWhenPresent) {
  TestExport page;
  page.m_previewImage = "PREVIEW64";
  EXPECT_NE(Write(page).find("<div id=\"GLPreview\" style=\"background-image:url('data:image/jpeg;base64,"
                             "PREVIEW64');\"  width=100% height=100%></div>\r\n<div id=\"ErrorText\">"),
            std::string::npos);
}

TEST_F(PageTest, EscapesPageTextsWhereverTheyLand) {
  TestExport page;
  page.title = L"A & B <x> --> \u20ac";
  page.author = L"<b>Eve</b>";
  page.notes = L"</pre><script>alert(1)</script>";
  page.createdUsing = L"<i>";
  page.authorLink = L"http://example.com/?a=\"onmouseover=\"x";
  std::string html = Write(page);
  const std::string title = "A &amp; B &lt;x&gt; --&gt; &#8364;";
  EXPECT_NE(html.find("WebGL Model: " + title + "\r\n"), std::string::npos);
  EXPECT_NE(html.find("<title>" + title + "</title>"), std::string::npos);
  EXPECT_NE(html.find("<h2>" + title + "</h2>"), std::string::npos);
  EXPECT_EQ(Count(html, "-->"), 1u) << "only the real end of the header comment";
  EXPECT_EQ(Count(html, "<script>"), 0u);
  EXPECT_EQ(Count(html, "<b>"), 0u);
  EXPECT_EQ(Count(html, "<i>"), 0u);
  EXPECT_NE(html.find("<a href=\"http://example.com/?a=&quot;onmouseover=&quot;x\">"), std::string::npos);
  // 20 pixels per character of the title as typed.
  EXPECT_NE(html.find(std::string("width:") + std::to_string(20 * page.title.size()) + "px"), std::string::npos);
}

TEST_F(PageTest, WritesScriptLinksAsNoLink) {
  TestExport page;
  page.author = L"Mallory";
  for (const wchar_t* link : {L"javascript:alert(1)", L" JavaScript:alert(1)"}) {
    page.authorLink = link;
    std::string html = Write(page);
    EXPECT_EQ(Count(html, "avaScript:"), 0u);
    EXPECT_EQ(Count(html, "avascript:"), 0u);
    EXPECT_NE(html.find("<span style=\"color:black\">Author:</span>&nbsp;Mallory</div>"), std::string::npos);
  }
}

TEST_F(PageTest, NeverCutsLongTexts) {
  TestExport page;
  page.title = std::wstring(3000, L'T') + L"END";
  page.createdUsing = std::wstring(2000, L'C') + L"FIN";
  std::string html = Write(page);
  EXPECT_NE(html.find(std::string(3000, 'T') + "END</h2>"), std::string::npos);
  EXPECT_NE(html.find(std::string(2000, 'C') + "FIN.</h4>"), std::string::npos);
}

TEST_F(PageTest, DotLabelsGetDarkTextFromColourSum255) {
  TestExport page;
  ASSERT_TRUE(page.OpenPage(path.wstring()));
  page.AddDot({1, 2, 3}, L"dark", 100, 100, 54);
  page.AddDot({4, 5, 6}, L"light", 100, 100, 55);
  page.AddDot({7, 8, 9}, L"<b>x</b>", 255, 128, 0);
  ASSERT_TRUE(page.WriteBody());
  ASSERT_TRUE(page.ClosePage());
  std::string html = ReadAll(path);
  const std::string tail =
      ";z-index: 3;display:none;border-radius: 10px;-moz-border-radius: 10px;-webkit-border-radius: 10px;\">";
  ExpectInOrder(html, {"<canvas id=\"WebGLCanvas\"></canvas></div>\r\n",
                       "<div id=\"dot1\" style=\"position:absolute;background-color:#646436;color:#fff" + tail +
                           "&nbsp;dark&nbsp;</div>\r\n",
                       "<div id=\"dot2\" style=\"position:absolute;background-color:#646437;color:#000" + tail +
                           "&nbsp;light&nbsp;</div>\r\n",
                       "<div id=\"dot3\" style=\"position:absolute;background-color:#FF8000;color:#000" + tail +
                           "&nbsp;&lt;b&gt;x&lt;/b&gt;&nbsp;</div>\r\n",
                       "</div>\r\n<div id=\"STShadow\">"});
}

TEST(ColourToHex, WritesUpperCaseDigitsAndClampsComponents) {
  EXPECT_EQ(ZEM_WebGLExport::ColourToHex(255, 128, 0), L"#FF8000");
  EXPECT_EQ(ZEM_WebGLExport::ColourToHex(0, 10, 171), L"#000AAB");
  EXPECT_EQ(ZEM_WebGLExport::ColourToHex(-5, 300, 16), L"#00FF10");
}

TEST_F(PageTest, OpeningResetsBoxAndDots) {
  TestExport page;
  ASSERT_TRUE(page.OpenPage(path.wstring()));
  const float p[3] = {1, -2, 3};
  const float q[3] = {-1, 5, 0};
  page.ExtendBounds(p);
  page.ExtendBounds(q);
  EXPECT_EQ(page.boxMin[0], -1);
  EXPECT_EQ(page.boxMin[1], -2);
  EXPECT_EQ(page.boxMin[2], 0);
  EXPECT_EQ(page.boxMax[0], 1);
  EXPECT_EQ(page.boxMax[1], 5);
  EXPECT_EQ(page.boxMax[2], 3);
  page.AddDot({0, 0, 0}, L"d", 0, 0, 0);
  ASSERT_TRUE(page.OpenPage((folder / "second.html").wstring()));
  EXPECT_EQ(page.boxMin[0], 3.4028235e38f);
  EXPECT_EQ(page.boxMax[2], -3.4028235e38f);
  EXPECT_TRUE(page.dotTexts.empty());
  EXPECT_TRUE(page.dotPoints.empty());
  EXPECT_TRUE(page.dotColours.empty());
}

TEST_F(PageTest, FormatNumbersWritesPrintfTextWithoutCutting) {
  TestExport page;
  ASSERT_TRUE(page.OpenPage(path.wstring()));
  page.WriteRaw(L"<<");
  page.FormatNumbers("bl.push(%d);%g,%g,%g 5%%\n", {3555, 0.1f, 1234567, -0.0001});
  std::string longFormat;
  std::initializer_list<double> values = {1.5, 2.5, 3.5};
  for (int i = 0; i < 1000; ++i) longFormat += "%g;";  // more directives than values: the rest write nothing
  page.FormatNumbers(std::string(3000, 'x') + "|" + longFormat.substr(0, 9) + "|", values);
  page.WriteRaw(L">>");
  ASSERT_TRUE(page.ClosePage());
  std::string html = ReadAll(path);
  EXPECT_NE(html.find("<<bl.push(3555);0.1,1.23457e+06,-0.0001 5%\r\n" + std::string(3000, 'x') +
                      "|1.5;2.5;3.5;|>>"),
            std::string::npos);
}

TEST_F(PageTest, WritersDoNothingWithoutAnOpenPage) {
  TestExport page;
  EXPECT_FALSE(page.WriteTemplate("a\n"));
  EXPECT_FALSE(page.WriteRaw(L"x"));
  EXPECT_FALSE(page.WriteRawNarrow("x"));
  EXPECT_FALSE(page.FormatNumbers("%g", {1.0}));
  EXPECT_FALSE(page.WriteFormatted(L"%d", {1}));
  EXPECT_FALSE(page.WriteBody());
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(PageTest, OpenPageFailsInAMissingFolderAndWritesNothing) {
  TestExport page;
  EXPECT_FALSE(page.OpenPage((folder / "missing" / "page.html").wstring()));
  EXPECT_FALSE(page.IsOpen());
  EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST_F(PageTest, DestroyingAnOpenWriterCompletesThePage) {
  {
    TestExport page;
    ASSERT_TRUE(page.OpenPage(path.wstring()));
    page.AddDot({0, 0, 0}, L"kept", 1, 2, 3);
  }
  std::string html = ReadAll(path);
  EXPECT_NE(html.find("&nbsp;kept&nbsp;"), std::string::npos);
  EXPECT_EQ(html.substr(html.size() - 16), "</body></html>\r\n");
}

TEST_F(PageTest, RemembersAFailedWrite) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  TestExport page;
  ASSERT_TRUE(page.OpenPage(L"/dev/full"));
  page.WriteBody();
  EXPECT_FALSE(page.ClosePage());
  EXPECT_TRUE(page.WriteFailed());
  // A new page starts clean.
  ASSERT_TRUE(page.OpenPage(path.wstring()));
  EXPECT_FALSE(page.WriteFailed());
  EXPECT_TRUE(page.ClosePage());
}

TEST_F(PageTest, HeaderDateFollowsSourceDateEpochInUtc) {
  TestExport page;
  setenv("SOURCE_DATE_EPOCH", "1796555510", 1);  // 2026-12-06 11:11:50 UTC
  std::string html = Write(page);
  EXPECT_NE(html.find("     Date: Sun Dec  6 11:11:50 2026\r\n\r\n     Created using"), std::string::npos);
  unsetenv("SOURCE_DATE_EPOCH");
  html = Write(page);
  std::regex ctime("     Date: (Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [ 123][0-9] \\d\\d:\\d\\d:\\d\\d \\d{4}\r\n\r\n");
  EXPECT_TRUE(std::regex_search(html, ctime));
}

}  // namespace
