#include "delivery/SendMailWithAttachment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "standin/platform/Modules.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/Window.h"
#include "tests/support/MailTestSupport.h"

namespace {

namespace fs = std::filesystem;
using zem::testing::ReadDraft;
using zem::testing::ScopedEnv;
using zem::testing::WriteBytes;

class SendMailWithAttachmentTest : public zem::testing::MailSandbox {
 protected:
  void SetUp() override {
    MailSandbox::SetUp();
    window = zem::CreateWindowObject(L"Main", L"Host", WS_VISIBLE, RECT{0, 0, 800, 600});
    attachment = folder / "Gear box.html.zip";
    WriteBytes(attachment, zem::testing::AllByteValues());
  }
  void TearDown() override {
    DestroyWindow(window);
    zem::SetLibraryInstalled(L"MAPI32.DLL", true);
    EXPECT_EQ(zem::LibraryLoadsHeld(L"MAPI32.DLL"), 0) << "every load is freed";
    MailSandbox::TearDown();
  }
  HWND window = nullptr;
  fs::path attachment;
};

// No attachment, parent window or mail library: false, and no draft.
TEST_F(SendMailWithAttachmentTest, WhatCannotBeSentAnswersFalse) {
  const int loads = zem::LibraryLoadCount(L"MAPI32.DLL");
  EXPECT_FALSE(zem::SendMailWithAttachment(L"", window, L"s", L"b"));
  EXPECT_EQ(zem::LibraryLoadCount(L"MAPI32.DLL"), loads) << "an empty path never touches the library";
  EXPECT_FALSE(zem::SendMailWithAttachment((folder / "missing.zip").wstring(), window, L"s", L"b"));
  EXPECT_FALSE(zem::SendMailWithAttachment(attachment.wstring(), nullptr, L"s", L"b"));
  HWND gone = zem::CreateWindowObject(L"Main", L"", 0, RECT{});
  DestroyWindow(gone);
  EXPECT_FALSE(zem::SendMailWithAttachment(attachment.wstring(), gone, L"s", L"b"));
  zem::SetLibraryInstalled(L"MAPI32.DLL", false);
  EXPECT_FALSE(zem::SendMailWithAttachment(attachment.wstring(), window, L"s", L"b"));
  EXPECT_TRUE(Drafts().empty());
}

TEST_F(SendMailWithAttachmentTest, LongTextsAndPathsGoWholeWithTheAttachmentsBytes) {
  // A subject, a body and an attachment path far beyond 260 characters,
  // through a folder whose name is not UTF-8.
  std::wstring subject = L"ZEM WebGL Model: ";
  for (int i = 0; i < 60; ++i) subject += L"Gehäuse ";
  std::wstring body;
  for (int i = 0; i < 100; ++i) body += L"Line " + std::to_wstring(i) + L" ü€\n";
  fs::path deep = folder;
  for (int i = 0; i < 4; ++i) deep /= (i == 1 ? "\xff\xfe" : "") + std::string(80, static_cast<char>('a' + i));
  fs::create_directories(deep);
  const fs::path longAttachment = deep / (std::string(100, 'n') + ".html");
  WriteBytes(longAttachment, zem::testing::AllByteValues());
  ASSERT_GT(longAttachment.string().size(), 400u);

  ASSERT_TRUE(zem::SendMailWithAttachment(zem::FromSystemBytes(longAttachment.string()), window, subject, body));
  fs::remove(longAttachment);
  const auto drafts = Drafts();
  ASSERT_EQ(drafts.size(), 1u);
  const auto draft = ReadDraft(drafts[0]);
  EXPECT_EQ(zem::FromUtf8(draft.Subject()), subject);
  EXPECT_EQ(zem::FromUtf8(zem::testing::WithLineFeeds(draft.BodyText())), body);
  const auto attachments = draft.Attachments();
  ASSERT_EQ(attachments.size(), 1u);
  EXPECT_EQ(attachments[0]->Parameter("content-disposition", "filename"), std::string(100, 'n') + ".html");
  EXPECT_EQ(attachments[0]->Decoded(), zem::testing::AllByteValues());
}

// The client's results through a stand-in xdg-email that exits with a chosen
// code: only its success is a hand-over (its "no mail program", exit 3, is no
// log-on the user saw).
TEST_F(SendMailWithAttachmentTest, TheClientsResultDecidesTheAnswer) {
  zem::SetMailOutbox(L"");
  zem::testing::StandInMailClient client(folder);
  const struct {
    const char* exit;
    bool answer;
  } cases[] = {{"0", true}, {"3", false}, {"4", false}, {"1", false}, {"5", false}};
  for (const auto& c : cases) {
    ScopedEnv exit("ZEM_TEST_EXIT", c.exit);
    EXPECT_EQ(zem::SendMailWithAttachment(attachment.wstring(), window, L"s", L"b"), c.answer) << "exit " << c.exit;
  }
}

}  // namespace
