#include "capture/DeliverByMail.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "standin/platform/Modules.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/ShellZipFolder.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/Window.h"
#include "tests/support/MailTestSupport.h"

namespace zem {
namespace {

namespace fs = std::filesystem;
using zem::testing::ReadDraft;
using zem::testing::ScopedEnv;
using zem::testing::WriteBytes;

// The temporary folder is the test's own; the main window exists.
class DeliverByMailTest : public zem::testing::MailSandbox {
 protected:
  void SetUp() override {
    MailSandbox::SetUp();
    temp.emplace("TMPDIR", (folder / "temp").c_str());
    fs::create_directories(folder / "temp");
    mainWindow = zem::CreateWindowObject(L"Main", L"Host", WS_VISIBLE, RECT{0, 0, 800, 600});
  }
  void TearDown() override {
    DestroyWindow(mainWindow);
    zem::SetShellApplicationRegistered(true);
    zem::SetLibraryInstalled(L"MAPI32.DLL", true);
    temp.reset();
    MailSandbox::TearDown();
  }
  fs::path TempFolder() const { return folder / "temp"; }
  // The page path for the title, with a page written there.
  fs::path WritePage(const std::wstring& title, const std::string& bytes) {
    const std::wstring path = MailPagePath(title);
    EXPECT_FALSE(path.empty());
    WriteBytes(zem::NativePath(path), bytes);
    return zem::NativePath(path);
  }
  // Files and folders left anywhere in the temporary folder.
  std::size_t LeftInTemp() const {
    std::size_t n = 0;
    for (auto it = fs::recursive_directory_iterator(TempFolder()); it != fs::recursive_directory_iterator(); ++it) ++n;
    return n;
  }

  std::optional<ScopedEnv> temp;
  HWND mainWindow = nullptr;
  const std::string page = "<!DOCTYPE html>\r\n<html>" + std::string(30000, 'p') + "</html>\r\n";
};

TEST_F(DeliverByMailTest, ThePagePathLiesInAPrivateFolderOfItsOwnAndIsNamedAfterTheTitle) {
  const fs::path first = zem::NativePath(MailPagePath(L"Gear box"));
  const fs::path second = zem::NativePath(MailPagePath(L"Gear box"));
  EXPECT_EQ(first.filename(), second.filename());
  EXPECT_NE(first, second) << "two exports of one title never share a page";
  EXPECT_EQ(first.parent_path().parent_path(), TempFolder());
  for (const fs::path& page : {first, second})
    EXPECT_EQ(fs::symlink_status(page.parent_path()).permissions(), fs::perms::owner_all)
        << "a folder of the user's own";
}

TEST_F(DeliverByMailTest, TitlesBecomeReadableSafeFileNames) {
  const struct {
    std::wstring title;
    std::wstring name;
  } cases[] = {
      {L"../../etc/passwd", L"_._etc_passwd"},
      {L"..\\..\\Windows\\win.ini", L"_._Windows_win.ini"},
      {L"..", L"model"},
      {L"", L"model"},
      {L"  Part A: rev 2?  ", L"Part A_ rev 2_"},
      {L"Line one\nLine two\x01", L"Line one Line two_"},
      {L"v1...2", L"v1.2"},
      {L"Zahnrad Ø 40 — 𝄞", L"Zahnrad Ø 40 — 𝄞"},
      {L"CON", L"_CON"},
      {L"<a|b>*\"c\"", L"_a_b___c_"},
      {L"/abs/escape", L"_abs_escape"},
      {L"a/../../b", L"a_._._b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SafeFileNameFromTitle(c.title), c.name) << zem::ToUtf8(c.title);
    // No title leads outside the export's own folder.
    const fs::path path = zem::NativePath(MailPagePath(c.title));
    EXPECT_EQ(path.parent_path().parent_path(), TempFolder()) << path;
  }
}

TEST_F(DeliverByMailTest, AVeryLongTitleStillMakesAFileThatCanBeWritten) {
  std::wstring title;
  for (int i = 0; i < 100; ++i) title += L"Gehäuse€ ";
  const fs::path path = WritePage(title, page);
  EXPECT_TRUE(fs::exists(path)) << "a file name within the system's limit";
  fs::path archive = path;
  archive += ".zip";
  WriteBytes(archive, "x");
  EXPECT_TRUE(fs::exists(archive));
}

// Unzipped, or zipped while the archive stays empty (no shell): the page
// itself goes, with the page's body text, and nothing temporary stays.
TEST_F(DeliverByMailTest, UnzippedOrWithoutAnArchiveThePageItselfGoes) {
  EXPECT_NE(MailBodyForPage(), MailBodyForArchive());
  for (const bool zipped : {false, true}) {
    zem::SetShellApplicationRegistered(!zipped);
    const fs::path path = WritePage(L"Gear box", page);
    EXPECT_TRUE(zem::DeliverByMail(zem::FromUtf8(path.string()), L"Gear box", zipped, mainWindow, {}));
    const auto drafts = Drafts();
    ASSERT_EQ(drafts.size(), 1u) << zipped;
    const auto draft = ReadDraft(drafts[0]);
    fs::remove(drafts[0]);
    EXPECT_EQ(zem::testing::WithLineFeeds(draft.BodyText()), zem::ToUtf8(MailBodyForPage()) + "\n");
    const auto attachments = draft.Attachments();
    ASSERT_EQ(attachments.size(), 1u);
    EXPECT_EQ(attachments[0]->Parameter("content-disposition", "filename"), "Gear box.html");
    EXPECT_EQ(attachments[0]->Decoded(), page);
    EXPECT_EQ(LeftInTemp(), 0u) << "an empty archive is deleted too";
  }
}

// A hand-over that fails (no mail library) keeps the page for the user and
// nothing else; a missing page leaves nothing. Only a page that was there
// hides the dialog for the hand-over. Neither saves a draft.
TEST_F(DeliverByMailTest, AFailedHandOverKeepsThePageAndAMissingPageLeavesNothing) {
  for (const bool written : {true, false}) {
    zem::SetLibraryInstalled(L"MAPI32.DLL", !written);
    const std::wstring path =
        written ? zem::FromUtf8(WritePage(L"Gear box", page).string()) : MailPagePath(L"Gear box");
    int hidden = 0;
    EXPECT_FALSE(zem::DeliverByMail(path, L"Gear box", true, mainWindow, [&] { ++hidden; }));
    EXPECT_EQ(hidden, written ? 1 : 0);
    EXPECT_TRUE(Drafts().empty());
    EXPECT_EQ(LeftInTemp(), written ? 2u : 0u) << "the page in its folder, or nothing";
    if (written) {
      EXPECT_EQ(zem::testing::ReadFileBytes(zem::NativePath(path)), page);
    }
    DiscardMailPage(path);
  }
}

TEST_F(DeliverByMailTest, DiscardingAPageLeavesFoldersOfOthersAlone) {
  const fs::path path = WritePage(L"Gear box", page);
  DiscardMailPage(zem::FromUtf8(path.string()));
  EXPECT_EQ(LeftInTemp(), 0u);
  // A page directly in a folder not made for it: the folder stays.
  fs::create_directories(folder / "keep");
  WriteBytes(folder / "keep/x.html", page);
  DiscardMailPage((folder / "keep/x.html").wstring());
  EXPECT_FALSE(fs::exists(folder / "keep/x.html"));
  EXPECT_TRUE(fs::is_directory(folder / "keep"));
}

}  // namespace
}  // namespace zem
