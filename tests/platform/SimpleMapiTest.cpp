#include "platform/SimpleMapi.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "platform/MailClient.h"
#include "platform/Modules.h"
#include "tests/support/MailTestSupport.h"

namespace {

namespace fs = std::filesystem;
using zem::testing::ReadBytes;
using zem::testing::ReadDraft;
using zem::testing::ScopedEnv;
using zem::testing::WriteBytes;

LPMAPISENDMAIL SendMailFunction(HMODULE library) {
  return reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void (*)()>(GetProcAddress(library, "MAPISendMail")));
}

// A message with one attachment, as the export sends it.
class MapiSendMail : public zem::testing::MailSandbox {
 protected:
  void SetUp() override {
    MailSandbox::SetUp();
    library = LoadLibraryW(L"MAPI32.DLL");
    ASSERT_NE(library, nullptr);
    sendMail = SendMailFunction(library);
    attachment = folder / "Gear box.html";
    WriteBytes(attachment, zem::testing::AllByteValues());
    path = attachment.string();
  }
  void TearDown() override {
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

  HMODULE library = nullptr;
  LPMAPISENDMAIL sendMail = nullptr;
  fs::path attachment;
  std::string path;
};

TEST_F(MapiSendMail, SavesAnUnsentDraftWithTheTextsAndTheAttachmentsBytes) {
  ASSERT_EQ(Send("Model: Zahnrad Ø 40", "First line\nSecond line ünd more"), SUCCESS_SUCCESS);
  const auto drafts = Drafts();
  ASSERT_EQ(drafts.size(), 1u);
  EXPECT_EQ(zem::LastMailDraft(), drafts[0].wstring());
  const auto draft = ReadDraft(drafts[0]);
  EXPECT_EQ(draft.Subject(), "Model: Zahnrad Ø 40");
  EXPECT_EQ(draft.top.Header("x-unsent"), "1");
  EXPECT_EQ(draft.top.Header("to"), "") << "the user addresses it";
  EXPECT_EQ(zem::testing::WithLineFeeds(draft.BodyText()), "First line\nSecond line ünd more\n");
  EXPECT_NE(draft.parts.front().Header("content-type").find("charset=UTF-8"), std::string::npos);
  const auto attachments = draft.Attachments();
  ASSERT_EQ(attachments.size(), 1u);
  EXPECT_EQ(attachments[0]->Parameter("content-disposition", "filename"), "Gear box.html")
      << "the last part of the given name, not the full path";
  EXPECT_EQ(attachments[0]->Decoded(), zem::testing::AllByteValues());
}

TEST_F(MapiSendMail, AMissingOrUnreadableAttachmentIsRefusedAndNothingIsSaved) {
  path = (folder / "missing.html").string();
  EXPECT_EQ(Send("s", "b"), MAPI_E_ATTACHMENT_NOT_FOUND);
  path.clear();
  EXPECT_EQ(Send("s", "b"), MAPI_E_ATTACHMENT_NOT_FOUND);
  path = folder.string();
  EXPECT_EQ(Send("s", "b"), MAPI_E_ATTACHMENT_OPEN_FAILURE) << "a folder";
  EXPECT_TRUE(Drafts().empty());
  EXPECT_EQ(sendMail(0, 0, nullptr, MAPI_DIALOG, 0), MAPI_E_FAILURE);
}

TEST_F(MapiSendMail, DraftsNeverReplaceEachOther) {
  ASSERT_EQ(Send("one", "b"), SUCCESS_SUCCESS);
  ASSERT_EQ(Send("two", "b"), SUCCESS_SUCCESS);
  ASSERT_EQ(Send("three", "b"), SUCCESS_SUCCESS);
  std::set<std::string> subjects;
  for (const auto& draft : Drafts()) subjects.insert(ReadDraft(draft).Subject());
  EXPECT_EQ(subjects, (std::set<std::string>{"one", "two", "three"}));
}

TEST_F(MapiSendMail, AnOutboxThatCannotBeWrittenFails) {
  // A file in the way of the folder (refused even to root).
  WriteBytes(folder / "blocked", "x");
  zem::SetMailOutbox((folder / "blocked").wstring());
  EXPECT_EQ(Send("s", "b"), MAPI_E_FAILURE);
}

// A stand-in xdg-email on the PATH that records its arguments, keeps what
// its attachment held at the time and exits with a chosen code.
class XdgEmailHandOver : public MapiSendMail {
 protected:
  void SetUp() override {
    MapiSendMail::SetUp();
    zem::SetMailOutbox(L"");
    fs::create_directories(folder / "bin");
    const fs::path script = folder / "bin/xdg-email";
    WriteBytes(script,
               "#!/bin/sh\n"
               "printf '%s\\n' \"$@\" > \"$ZEM_TEST_RECORD/args\"\n"
               "while [ $# -gt 0 ]; do\n"
               "  if [ \"$1\" = --attach ]; then cp \"$2\" \"$ZEM_TEST_RECORD/attached\"; fi\n"
               "  shift\n"
               "done\n"
               "exit ${ZEM_TEST_EXIT:-0}\n");
    ::chmod(script.c_str(), 0755);
    path_.emplace("PATH", ((folder / "bin").string() + ":" + std::getenv("PATH")).c_str());
    record_.emplace("ZEM_TEST_RECORD", folder.c_str());
    cache_.emplace("XDG_CACHE_HOME", (folder / "cache").c_str());
    display_.emplace("DISPLAY", ":77");
  }
  void TearDown() override {
    display_.reset();
    cache_.reset();
    record_.reset();
    path_.reset();
    MapiSendMail::TearDown();
  }
  std::optional<ScopedEnv> path_, record_, cache_, display_;
};

TEST_F(XdgEmailHandOver, HandsTextsAndACopyOfTheAttachmentThatOutlivesTheOriginal) {
  ASSERT_EQ(Send("Model: Ø", "Line one\nLine two"), SUCCESS_SUCCESS);
  fs::remove(attachment);
  const std::string args = ReadBytes(folder / "args");
  EXPECT_NE(args.find("--subject\nModel: Ø\n"), std::string::npos) << args;
  EXPECT_NE(args.find("--body\nLine one\nLine two\n"), std::string::npos) << args;
  const auto at = args.find("--attach\n");
  ASSERT_NE(at, std::string::npos);
  const std::string copy = args.substr(at + 9, args.find('\n', at + 9) - at - 9);
  EXPECT_NE(copy, path) << "the client gets a copy of its own";
  EXPECT_EQ(fs::path(copy).filename(), "Gear box.html");
  EXPECT_EQ(fs::path(copy).string().rfind((folder / "cache").string(), 0), 0u);
  EXPECT_EQ(ReadBytes(copy), zem::testing::AllByteValues()) << "still there after the original went";
  EXPECT_EQ(ReadBytes(folder / "attached"), zem::testing::AllByteValues());
  EXPECT_TRUE(Drafts().empty());
}

TEST_F(XdgEmailHandOver, ItsExitCodesBecomeMailResults) {
  // 3: no mail program; 2: a file is missing; anything else is a failure.
  for (auto [code, result] : {std::pair{"3", MAPI_E_LOGON_FAILURE}, {"4", MAPI_E_FAILURE}, {"2", MAPI_E_ATTACHMENT_NOT_FOUND}}) {
    ScopedEnv exit("ZEM_TEST_EXIT", code);
    EXPECT_EQ(Send("s", "b"), ULONG(result)) << code;
  }
}

// An outbox set on purpose wins over the graphical session; without a
// display the draft goes to the current folder. Neither calls the client.
TEST_F(XdgEmailHandOver, AnOutboxOrNoDisplayKeepsTheDraftAsAFile) {
  zem::SetMailOutbox(outbox.wstring());
  ASSERT_EQ(Send("s", "b"), SUCCESS_SUCCESS);
  zem::SetMailOutbox(L"");
  display_.reset();
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
