#include "standin/platform/MimeMessage.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/MailTestSupport.h"

namespace {

using zem::MailAttachment;
using zem::MailMessage;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    auto end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

MailMessage Example() {
  MailMessage message;
  for (int i = 0; i < 30; ++i) message.subject += "Getriebe Ø40 𝄞 ";
  message.body = "Please open it !\n\nDetails on https://example.com/a=b.\n" + std::string(300, 'w') + " \n";
  message.attachments.push_back(
      MailAttachment{"Größe " + std::string(90, 'g') + ".html.zip", zem::testing::AllByteValues()});
  return message;
}

TEST(MimeMessage, EveryLineIsShortAndEndsInCarriageReturnLineFeed) {
  const std::string text = zem::ComposeMimeMessage(Example(), 0);
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  // Split at CR LF, a line holds no other CR or LF: both fall outside the printable range.
  for (const auto& line : Lines(text)) {
    EXPECT_LE(line.size(), 78u) << line;
    for (const char c : line) ASSERT_TRUE(c >= 0x20 && c <= 0x7E) << "only printable ASCII is stored: " << line;
  }
}

TEST(MimeMessage, HeaderTextsThatWouldBreakTheHeaderAreEncoded) {
  EXPECT_EQ(zem::HeaderField("Subject", "Plain words"), "Subject: Plain words\r\n");
  const std::string injected = zem::HeaderField("Subject", "A\r\nBcc: someone@example.com");
  EXPECT_EQ(Lines(injected).size(), 1u) << "a line break in a text never starts a field";
  const std::string lookalike = zem::HeaderField("Subject", "=?UTF-8?B?QQ==?=");
  EXPECT_EQ(zem::testing::DecodeHeaderWords(lookalike.substr(9, lookalike.size() - 11)), "=?UTF-8?B?QQ==?=");
}

}  // namespace
