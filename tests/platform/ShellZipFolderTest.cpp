#include "platform/ShellZipFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/Clock.h"
#include "tests/support/MailTestSupport.h"
#include "tests/support/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;
using zem::testing::ReadBytes;
using zem::testing::WriteBytes;

const std::string kEmptyArchive = std::string("PK\x05\x06", 4) + std::string(18, '\0');

VARIANT Text(const std::wstring& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text.c_str());
  return v;
}

VARIANT Number(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

using Entry = zem::testing::ZipEntry;

std::vector<Entry> Entries(const fs::path& archivePath) { return zem::testing::ZipEntries(archivePath); }

// A thread with the component library initialised, a shell object and a
// fresh folder; the copy duration is reset afterwards.
class ShellZipFolder : public zem::testing::MailSandbox {
 protected:
  void SetUp() override {
    MailSandbox::SetUp();
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER, IID_IShellDispatch,
                               reinterpret_cast<void**>(&shell)),
              S_OK);
    archive = folder / "page.html.zip";
    WriteBytes(archive, kEmptyArchive);
    source = folder / "page.html";
    WriteBytes(source, std::string(5000, 'x') + zem::testing::AllByteValues());
  }
  void TearDown() override {
    if (shell) shell->Release();
    CoUninitialize();
    zem::SetShellCopyDuration(0);
    MailSandbox::TearDown();
  }
  Folder* Open(const fs::path& path) {
    VARIANT dir = Text(path.wstring());
    Folder* result = nullptr;
    shell->NameSpace(dir, &result);
    VariantClear(&dir);
    return result;
  }
  long Count(Folder* f) {
    FolderItems* items = nullptr;
    EXPECT_EQ(f->Items(&items), S_OK);
    long count = -1;
    items->get_Count(&count);
    items->Release();
    return count;
  }
  void Copy(Folder* f, const fs::path& file) {
    VARIANT item = Text(file.wstring());
    EXPECT_EQ(f->CopyHere(item, Number(FOF_SILENT)), S_OK);
    VariantClear(&item);
  }

  IShellDispatch* shell = nullptr;
  fs::path archive;
  fs::path source;
};

TEST_F(ShellZipFolder, CopyAddsOneDeflatedEntryNamedLikeTheFile) {
  Folder* zipFolder = Open(archive);
  ASSERT_NE(zipFolder, nullptr);
  EXPECT_EQ(Count(zipFolder), 0);
  Copy(zipFolder, source);
  EXPECT_EQ(Count(zipFolder), 1);
  zipFolder->Release();
  const auto entries = Entries(archive);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "page.html");
  EXPECT_EQ(entries[0].method, ZIP_CM_DEFLATE);
  EXPECT_EQ(entries[0].bytes, ReadBytes(source));
  EXPECT_LT(fs::file_size(archive), fs::file_size(source)) << "deflated, not stored";
}

TEST_F(ShellZipFolder, AWindowsPathNamesTheEntryByItsLastPart) {
  Folder* zipFolder = Open(archive);
  ASSERT_NE(zipFolder, nullptr);
  std::wstring windowsPath = source.wstring();
  for (auto& c : windowsPath) c = c == L'/' ? L'\\' : c;
  Copy(zipFolder, windowsPath);
  zipFolder->Release();
  const auto entries = Entries(archive);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "page.html");
}

TEST_F(ShellZipFolder, TheCopyArrivesWhenItsTimeHasPassedOnTheClock) {
  zem::SetShellCopyDuration(2500);
  Folder* zipFolder = Open(archive);
  ASSERT_NE(zipFolder, nullptr);
  Copy(zipFolder, source);
  EXPECT_EQ(Count(zipFolder), 0) << "the copy runs in the background";
  zem::AdvanceClock(2000);
  EXPECT_EQ(Count(zipFolder), 0);
  zem::AdvanceClock(600);
  EXPECT_EQ(Count(zipFolder), 1);
  zipFolder->Release();
}

TEST_F(ShellZipFolder, CopiesThatCannotCompleteNeverArrive) {
  Folder* zipFolder = Open(archive);
  ASSERT_NE(zipFolder, nullptr);
  Copy(zipFolder, folder / "missing.html");
  zem::AdvanceClock(60000);
  EXPECT_EQ(Count(zipFolder), 0);
  zem::SetShellCopyDuration(INFINITE);
  Copy(zipFolder, source);
  zem::AdvanceClock(600000);
  EXPECT_EQ(Count(zipFolder), 0);
  zipFolder->Release();
  EXPECT_EQ(ReadBytes(archive), kEmptyArchive);
}

TEST_F(ShellZipFolder, OnlyAnExistingZipFileOpensAsAFolder) {
  EXPECT_EQ(Open(folder / "missing.zip"), nullptr);
  EXPECT_EQ(Open(source), nullptr) << "not a .zip";
  fs::create_directories(folder / "dir.zip");
  EXPECT_EQ(Open(folder / "dir.zip"), nullptr);
  VARIANT dir = Text((folder / "missing.zip").wstring());
  Folder* result = reinterpret_cast<Folder*>(0x1);
  EXPECT_EQ(shell->NameSpace(dir, &result), S_FALSE);
  EXPECT_EQ(result, nullptr);
  VariantClear(&dir);
}

TEST(ComLibrary, InitialisationIsCountedPerThreadAndModel) {
  const int before = zem::ComInitializationDepth();
  void* object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER, IID_IShellDispatch, &object),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  EXPECT_EQ(zem::ComInitializationDepth(), before + 2) << "a failed initialisation is not counted";
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(zem::ComInitializationDepth(), before);
}

TEST(SystemClock, SleepMovesTheClockWithoutHoldingTheThread) {
  const auto realStart = std::chrono::steady_clock::now();
  const DWORD start = GetTickCount();
  Sleep(45000);
  const DWORD slept = GetTickCount() - start;
  EXPECT_GE(slept, 45000u);
  EXPECT_LT(slept, 46000u);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(1));
}

}  // namespace
