#include "delivery/CreateZipWithFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "standin/platform/Automation.h"
#include "standin/platform/Clock.h"
#include "standin/platform/ComObjects.h"
#include "standin/platform/ShellZipFolder.h"
#include "tests/support/MailTestSupport.h"
#include "tests/support/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;
using zem::testing::ReadFileBytes;
using zem::testing::WriteBytes;

const std::string kEmptyArchive = std::string("PK\x05\x06", 4) + std::string(18, '\0');

using zem::testing::ZipEntries;

class CreateZipWithFileTest : public zem::testing::MailSandbox {
 protected:
  void SetUp() override {
    MailSandbox::SetUp();
    page = folder / "Gear box.html";
    WriteBytes(page, std::string(20000, 'a') + zem::testing::AllByteValues());
    archive = folder / "Gear box.html.zip";
    depth = zem::ComInitializationDepth();
    strings = zem::LiveSystemStrings();
  }
  void TearDown() override {
    zem::SetShellCopyDuration(0);
    zem::SetShellApplicationRegistered(true);
    EXPECT_EQ(zem::ComInitializationDepth(), depth) << "initialisation balanced";
    EXPECT_EQ(zem::LiveSystemStrings(), strings) << "strings freed";
    MailSandbox::TearDown();
  }
  fs::path page;
  fs::path archive;
  int depth = 0;
  int strings = 0;
};

// An existing archive is replaced.
TEST_F(CreateZipWithFileTest, TheArchiveHoldsExactlyOneEntryNamedLikeThePageWithItsBytes) {
  WriteBytes(folder / "old.txt", "old");
  ASSERT_TRUE(zem::CreateZipWithFile(archive.wstring(), (folder / "old.txt").wstring()));
  ASSERT_TRUE(zem::CreateZipWithFile(archive.wstring(), page.wstring()));
  const auto entries = ZipEntries(archive);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Gear box.html");
  EXPECT_EQ(entries[0].bytes, ReadFileBytes(page));
}

TEST_F(CreateZipWithFileTest, ASlowCopyIsAwaitedOneSecondAtATime) {
  zem::SetShellCopyDuration(4500);
  const DWORD start = GetTickCount();
  ASSERT_TRUE(zem::CreateZipWithFile(archive.wstring(), page.wstring()));
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 5000u);
  EXPECT_LT(waited, 5500u) << "stops polling once the entry is there";
  EXPECT_EQ(ZipEntries(archive).size(), 1u);
}

TEST_F(CreateZipWithFileTest, ACopyThatNeverArrivesIsAwaitedForABoundedTime) {
  zem::SetShellCopyDuration(INFINITE);
  const auto realStart = std::chrono::steady_clock::now();
  const DWORD start = GetTickCount();
  EXPECT_FALSE(zem::CreateZipWithFile(archive.wstring(), page.wstring()));
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, zem::kZipCopyWaitLimit);
  EXPECT_LT(waited, zem::kZipCopyWaitLimit + 1500);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(5));
  EXPECT_EQ(ReadFileBytes(archive), kEmptyArchive) << "the archive stays as it was written";
  // A missing page never arrives either.
  zem::SetShellCopyDuration(0);
  EXPECT_FALSE(zem::CreateZipWithFile(archive.wstring(), (folder / "missing.html").wstring()));
}

TEST_F(CreateZipWithFileTest, AnUnwritableArchiveOrNoShellOrShellFolderAnswersFalse) {
  EXPECT_FALSE(zem::CreateZipWithFile((folder / "no-such-folder/a.zip").wstring(), page.wstring()));
  EXPECT_FALSE(fs::exists(folder / "no-such-folder"));
  // Without the shell or its folder the archive stays empty.
  zem::SetShellApplicationRegistered(false);
  EXPECT_FALSE(zem::CreateZipWithFile(archive.wstring(), page.wstring()));
  EXPECT_EQ(ReadFileBytes(archive), kEmptyArchive);
  zem::SetShellApplicationRegistered(true);
  // The shell opens only .zip files as folders: this archive gives no folder.
  const fs::path other = folder / "page.bin";
  EXPECT_FALSE(zem::CreateZipWithFile(other.wstring(), page.wstring()));
  EXPECT_EQ(ReadFileBytes(other), kEmptyArchive);
}

TEST_F(CreateZipWithFileTest, AThreadInTheOtherApartmentModelIsLeftInitialised) {
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  EXPECT_TRUE(zem::CreateZipWithFile(archive.wstring(), page.wstring()));
  EXPECT_EQ(zem::ComInitializationDepth(), depth + 1) << "its own initialisation failed and is not balanced";
  CoUninitialize();
}

}  // namespace
