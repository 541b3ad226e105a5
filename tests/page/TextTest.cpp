// The text primitives of the page where the golden page cannot show them
// all: fixed decimals against printf, escaping, and which links are safe.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "page/HtmlText.h"
#include "page/TextFormat.h"

namespace {

using zem::EscapeHtml;
using zem::FormatText;
using zem::SafeLinkTarget;

TEST(TextTest, FormatTextFixedDecimalsWriteWhatPrintfWrites) {
  for (double value : {0.0, 2.675, -0.5, 1.0 / 3.0, 123456789.987654321, -1e-7, 1e20}) {
    for (int decimals : {0, 1, 2, 6, 20}) {
      char expected[512];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
      const std::wstring format = FormatText(L"%%.%df", {decimals});
      const std::wstring text = FormatText(format, {value});
      EXPECT_EQ(std::string(text.begin(), text.end()), expected) << value << " with " << decimals;
    }
  }
  EXPECT_EQ(FormatText(L"[%.3f] %s", {2, L"x"}), L"[2.000] x") << "integers too, and later arguments still match";
}

TEST(TextTest, EscapeHtmlKeepsLatin1AndWritesOtherCharactersAsNumericReferences) {
  EXPECT_EQ(EscapeHtml(L"Caf\u00e9 \u00ff 'a'"), L"Caf\u00e9 \u00ff &#39;a&#39;");
  EXPECT_EQ(EscapeHtml(L"\u20ac 5"), L"&#8364; 5");
  EXPECT_EQ(EscapeHtml(L"\U0001F600"), L"&#128512;");
  // A lone surrogate half is not a character.
  EXPECT_EQ(EscapeHtml(std::wstring(1, static_cast<wchar_t>(0xD800))), L"&#65533;");
}

TEST(TextTest, EscapeHtmlNormalisesLineEndsToLineFeeds) {
  EXPECT_EQ(EscapeHtml(L"a\r\nb\rc\nd"), L"a\nb\nc\nd");
  EXPECT_EQ(zem::NormaliseLineEnds(L"a\r\n\r\nb\r"), L"a\n\nb\n");
}

TEST(TextTest, SafeLinkTargetKeepsWebAndMailLinksAndDropsOtherSchemesHoweverDisguised) {
  for (const wchar_t* link :
       {L"http://example.com/a?b=c", L"HTTPS://example.com", L"ftp://files.example.com", L"mailto:someone@example.com",
        L"MailTo:x@y.z", L"www.example.com", L"page.html#top", L"a/b:c"}) {
    EXPECT_EQ(SafeLinkTarget(link), link) << link;
  }
  for (const wchar_t* link :
       {L"javascript:alert(1)", L" JavaScript:alert(1)", L"JAVASCRIPT:x", L"java\tscript:x", L"java\nscript:x",
        L"\x01javascript:x", L"data:text/html,<b>", L"vbscript:x", L"file:///etc/passwd"}) {
    EXPECT_EQ(SafeLinkTarget(link), L"") << link;
  }
}

}  // namespace
