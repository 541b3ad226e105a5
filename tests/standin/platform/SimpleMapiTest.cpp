#include "standin/platform/SimpleMapi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "standin/platform/MailClient.h"
#include "standin/platform/Modules.h"
#include "tests/support/MailTestSupport.h"

namespace {

namespace fs = std::filesystem;
using zem::testing::ReadDraft;
using zem::testing::ReadFileBytes;
using zem::testing::ScopedEnv;
using zem::testing::WriteBytes;

// A message with one attachment, as the export sends it.
class SimpleMapiTest : public zem::testing::MailSandbox {
 protected:
  void SetUp() override {
    MailSandbox::SetUp();
    library = LoadLibraryW(L"MAPI32.DLL");
    ASSERT_NE(library, nullptr);
    sendMail = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void (*)()>(GetProcAddress(library, "MAPISendMail")));
    attachment = folder / "Gear box.html";
    WriteBytes(attachment, zem::testing::AllByteValues());
    path = attachment.string();
  }
  void TearDown() override {
    client.reset();
    FreeLibrary(library);
    MailSandbox::TearDown();
  }
  ULONG Send(std::string subject, std::string body) {
    MapiFileDesc file{};
    file.nPosition = 0xFFFFFFFF;
    file.lpszPathName = path.data();
    file.lpszFileName = path.data();
    MapiMessage message{};
    message.lpszSubject = subject.data();
    message.lpszNoteText = body.data();
    message.nFileCount = 1;
    message.lpFiles = &file;
    return sendMail(0, 0, &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
  }

  void UseMailClient() {
    zem::SetMailOutbox(L"");
    client.emplace(folder);
  }

  std::optional<zem::testing::StandInMailClient> client;
  HMODULE library = nullptr;
  LPMAPISENDMAIL sendMail = nullptr;
  fs::path attachment;
  std::string path;
};

// Texts and attachment bytes, long and beyond ASCII, are checked through the
// delivery layer's hand-over.
TEST_F(SimpleMapiTest, SavesAnUnsentDraftForTheUserToAddress) {
  ASSERT_EQ(Send("Model: Zahnrad Ø 40", "First line\nSecond line ünd more"), SUCCESS_SUCCESS);
  const auto drafts = Drafts();
  ASSERT_EQ(drafts.size(), 1u);
  EXPECT_EQ(zem::LastMailDraft(), drafts[0].wstring());
  const auto draft = ReadDraft(drafts[0]);
  EXPECT_EQ(draft.top.Header("x-unsent"), "1");
  EXPECT_EQ(draft.top.Header("to"), "") << "the user addresses it";
  EXPECT_NE(draft.parts.front().Header("content-type").find("charset=UTF-8"), std::string::npos);
}

TEST_F(SimpleMapiTest, AMissingOrUnreadableAttachmentIsRefusedAndNothingIsSaved) {
  path = (folder / "missing.html").string();
  EXPECT_EQ(Send("s", "b"), MAPI_E_ATTACHMENT_NOT_FOUND);
  path.clear();
  EXPECT_EQ(Send("s", "b"), MAPI_E_ATTACHMENT_NOT_FOUND);
  path = folder.string();
  EXPECT_EQ(Send("s", "b"), MAPI_E_ATTACHMENT_OPEN_FAILURE) << "a folder";
  EXPECT_TRUE(Drafts().empty());
  EXPECT_EQ(sendMail(0, 0, nullptr, MAPI_DIALOG, 0), MAPI_E_FAILURE);
}

TEST_F(SimpleMapiTest, DraftsNeverReplaceEachOther) {
  ASSERT_EQ(Send("one", "b"), SUCCESS_SUCCESS);
  ASSERT_EQ(Send("two", "b"), SUCCESS_SUCCESS);
  ASSERT_EQ(Send("three", "b"), SUCCESS_SUCCESS);
  std::set<std::string> subjects;
  for (const auto& draft : Drafts()) subjects.insert(ReadDraft(draft).Subject());
  EXPECT_EQ(subjects, (std::set<std::string>{"one", "two", "three"}));
}

TEST_F(SimpleMapiTest, AnOutboxThatCannotBeWrittenFails) {
  // A file in the way of the folder (refused even to root).
  WriteBytes(folder / "blocked", "x");
  zem::SetMailOutbox((folder / "blocked").wstring());
  EXPECT_EQ(Send("s", "b"), MAPI_E_FAILURE);
}

// The hand-over to the desktop's mail client, a stand-in (see its header).
TEST_F(SimpleMapiTest, XdgEmailGetsTextsAndACopyOfTheAttachmentThatOutlivesTheOriginal) {
  UseMailClient();
  ASSERT_EQ(Send("Model: Ø", "Line one\nLine two"), SUCCESS_SUCCESS);
  fs::remove(attachment);
  const std::string args = ReadFileBytes(folder / "args");
  EXPECT_NE(args.find("--subject\nModel: Ø\n"), std::string::npos) << args;
  EXPECT_NE(args.find("--body\nLine one\nLine two\n"), std::string::npos) << args;
  const auto at = args.find("--attach\n");
  ASSERT_NE(at, std::string::npos);
  const std::string copy = args.substr(at + 9, args.find('\n', at + 9) - at - 9);
  EXPECT_NE(copy, path) << "the client gets a copy of its own";
  EXPECT_EQ(fs::path(copy).filename(), "Gear box.html");
  EXPECT_EQ(fs::path(copy).string().rfind((folder / "cache").string(), 0), 0u);
  EXPECT_EQ(ReadFileBytes(copy), zem::testing::AllByteValues()) << "still there after the original went";
  EXPECT_EQ(ReadFileBytes(folder / "attached"), zem::testing::AllByteValues());
  EXPECT_TRUE(Drafts().empty());
}

// An outbox set on purpose wins over the graphical session; without a
// display the draft goes to the current folder. Neither calls the client.
TEST_F(SimpleMapiTest, AnOutboxOrNoDisplayKeepsTheDraftAsAFileInsteadOfCallingXdgEmail) {
  UseMailClient();
  zem::SetMailOutbox(outbox.wstring());
  ASSERT_EQ(Send("s", "b"), SUCCESS_SUCCESS);
  zem::SetMailOutbox(L"");
  ScopedEnv noDisplay("DISPLAY", nullptr);
  const fs::path before = fs::current_path();
  fs::current_path(outbox);
  const ULONG result = Send("s", "b");
  fs::current_path(before);
  EXPECT_EQ(result, SUCCESS_SUCCESS);
  EXPECT_EQ(Drafts().size(), 2u);
  EXPECT_FALSE(fs::exists(folder / "args"));
}

}  // namespace
