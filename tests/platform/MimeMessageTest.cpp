#include "platform/MimeMessage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/platform/MailTestSupport.h"

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
  message.attachments.push_back(MailAttachment{"Größe " + std::string(90, 'g') + ".html.zip", zem::testing::AllByteValues()});
  return message;
}

TEST(MimeMessage, EveryLineIsShortAndEndsInCarriageReturnLineFeed) {
  const std::string text = zem::ComposeMimeMessage(Example(), 0);
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_EQ(text[i - 1], '\r') << "at " << i;
    }
    if (text[i] == '\r') {
      ASSERT_EQ(text[i + 1], '\n') << "at " << i;
    }
  }
  for (const auto& line : Lines(text)) {
    EXPECT_LE(line.size(), 78u) << line;
    for (const char c : line) ASSERT_TRUE(c >= 0x20 && c <= 0x7E) << "only ASCII is stored: " << line;
  }
}

TEST(MimeMessage, TextsAndTheAttachmentReadBackUnchanged) {
  const MailMessage message = Example();
  const auto path = std::filesystem::temp_directory_path() / "zem-mime-readback.eml";
  zem::testing::WriteBytes(path, zem::ComposeMimeMessage(message, 86400 * 365));
  const auto draft = zem::testing::ReadDraft(path);
  std::filesystem::remove(path);
  EXPECT_EQ(draft.top.Header("date"), "Fri, 01 Jan 1971 00:00:00 +0000");
  EXPECT_EQ(draft.top.Header("mime-version"), "1.0");
  EXPECT_EQ(draft.Subject(), message.subject.substr(0, message.subject.size() - 1) + " ")
      << "the whole subject";
  EXPECT_EQ(zem::testing::WithLineFeeds(draft.BodyText()), message.body);
  const auto attachments = draft.Attachments();
  ASSERT_EQ(attachments.size(), 1u);
  EXPECT_EQ(attachments[0]->Parameter("content-disposition", "filename"), message.attachments[0].fileName);
  EXPECT_EQ(attachments[0]->Header("content-type").rfind("application/zip", 0), 0u);
  EXPECT_EQ(attachments[0]->Decoded(), message.attachments[0].bytes);
}

TEST(MimeMessage, HeaderTextsThatWouldBreakTheHeaderAreEncoded) {
  EXPECT_EQ(zem::HeaderField("Subject", "Plain words"), "Subject: Plain words\r\n");
  const std::string injected = zem::HeaderField("Subject", "A\r\nBcc: someone@example.com");
  EXPECT_EQ(Lines(injected).size(), 1u) << "a line break in a text never starts a field";
  const std::string lookalike = zem::HeaderField("Subject", "=?UTF-8?B?QQ==?=");
  EXPECT_EQ(zem::testing::DecodeHeaderWords(lookalike.substr(9, lookalike.size() - 11)), "=?UTF-8?B?QQ==?=");
}

// Python's own mail parser, when it is there, reads the message the same way.
TEST(MimeMessage, PythonsMailParserAgrees) {
  if (std::system("python3 -c 'import email' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  const MailMessage message = Example();
  const auto folder = std::filesystem::temp_directory_path() / "zem-mime-python";
  std::filesystem::create_directories(folder);
  zem::testing::WriteBytes(folder / "m.eml", zem::ComposeMimeMessage(message, 0));
  zem::testing::WriteBytes(folder / "read.py",
                           "import email, email.policy, sys\n"
                           "m = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)\n"
                           "parts = list(m.iter_attachments())\n"
                           "open(sys.argv[2] + '/subject', 'w', encoding='utf-8').write(m['subject'])\n"
                           "open(sys.argv[2] + '/body', 'w', encoding='utf-8', newline='').write(m.get_body(('plain',)).get_content())\n"
                           "open(sys.argv[2] + '/name', 'w', encoding='utf-8').write(parts[0].get_filename())\n"
                           "open(sys.argv[2] + '/bytes', 'wb').write(parts[0].get_payload(decode=True))\n"
                           "print(len(parts), m['X-Unsent'], m.defects, parts[0].defects)\n");
  const std::string command = "python3 " + (folder / "read.py").string() + " " + (folder / "m.eml").string() + " " +
                              folder.string() + " > " + (folder / "out").string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(zem::testing::ReadBytes(folder / "out"), "1 1 [] []\n");
  EXPECT_EQ(zem::testing::ReadBytes(folder / "subject"), message.subject);
  EXPECT_EQ(zem::testing::WithLineFeeds(zem::testing::ReadBytes(folder / "body")), message.body);
  EXPECT_EQ(zem::testing::ReadBytes(folder / "name"), message.attachments[0].fileName);
  EXPECT_EQ(zem::testing::ReadBytes(folder / "bytes"), message.attachments[0].bytes);
  std::filesystem::remove_all(folder);
}

}  // namespace
