#include "standin/platform/ProfileFile.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolderTest.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "standin/platform/TextEncoding.h"

namespace {

namespace fs = std::filesystem;

class ProfileFileTest : public zem::testing::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    m_file = zem::FromUtf8((folder / "test.ini").string());
  }
  void WriteFile(const std::string& text) { std::ofstream(folder / "test.ini", std::ios::binary) << text; }
  std::string ReadFile() const { return zem::testing::ReadFileBytes(folder / "test.ini"); }
  std::wstring Get(const wchar_t* section, const wchar_t* key, const wchar_t* fallback = L"", DWORD size = 255) {
    std::wstring buffer(size, L'#');
    const DWORD n = GetPrivateProfileStringW(section, key, fallback, buffer.data(), size, m_file.c_str());
    return buffer.substr(0, n);
  }

  std::wstring m_file;
};

TEST_F(ProfileFileTest, ReadsWindowsStyleFilesWithoutRegardToCaseAndBlanks) {
  WriteFile("\xEF\xBB\xBF; comment\r\n[First]\r\nname = Value One \r\nquoted=\"  padded  \"\r\n\r\n[second]\nn=2\n");
  EXPECT_EQ(Get(L"first", L"NAME"), L"Value One");
  EXPECT_EQ(Get(L"First", L"quoted"), L"  padded  ");
  EXPECT_EQ(Get(L"SECOND", L"n"), L"2");
  EXPECT_EQ(Get(L"First", L"n", L"fallback  "), L"fallback") << "trailing blanks of the default go";
  EXPECT_EQ(Get(L"Third", L"n"), L"");
  fs::remove(folder / "test.ini");
  EXPECT_EQ(Get(L"s", L"k", L"dflt"), L"dflt") << "a missing file gives the default";
}

TEST_F(ProfileFileTest, WriteCreatesUpdatesAndKeepsOtherLines) {
  WriteFile("; keep me\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
  ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"X", L"10", m_file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(L"a", L"z", L"3", m_file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(L"c", L"w", L"4", m_file.c_str()));
  EXPECT_EQ(ReadFile(), "; keep me\r\n[a]\r\nX=10\r\nz=3\r\n\r\n[b]\r\ny=2\r\n[c]\r\nw=4\r\n");
}

TEST_F(ProfileFileTest, ValueWithLineBreaksStaysOneEntry) {
  ASSERT_TRUE(WritePrivateProfileStringW(L"s", L"note", L"first\r\nevil=1\n[other]\nk=v", m_file.c_str()));
  EXPECT_EQ(Get(L"s", nullptr), std::wstring(L"note\0", 5));
  EXPECT_EQ(Get(L"s", L"evil"), L"");
  EXPECT_EQ(Get(nullptr, nullptr), std::wstring(L"s\0", 2));
  EXPECT_EQ(Get(L"s", L"note"), L"first  evil=1 [other] k=v");
}

TEST_F(ProfileFileTest, NamesThatWouldNotReadBackAreRefused) {
  for (const auto& [section, key] : {std::pair{L"s", L"a=b"}, {L"s", L"a\nb"}, {L"s]", L"a"}, {L"s", L"[a"}})
    EXPECT_FALSE(WritePrivateProfileStringW(section, key, L"1", m_file.c_str())) << zem::ToUtf8(key);
  EXPECT_FALSE(fs::exists(folder / "test.ini"));
}

// The file is replaced whole through a temporary sibling: no temporary is
// left, and a write that fails leaves the old file intact.
TEST_F(ProfileFileTest, WriteReplacesTheFileWholeOrNotAtAll) {
  WriteFile("[s]\nold=1\n");
  ASSERT_TRUE(WritePrivateProfileStringW(L"s", L"new", L"2", m_file.c_str()));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  WriteFile("[s]\nold=1\n");
  // A folder where the temporary sibling would go makes the write fail
  // before the old file is touched.
  fs::create_directory(folder / ("test.ini.tmp" + std::to_string(::getpid())));
  EXPECT_FALSE(WritePrivateProfileStringW(L"s", L"new", L"2", m_file.c_str()));
  EXPECT_EQ(ReadFile(), "[s]\nold=1\n");
  std::wstring missing = zem::FromUtf8((folder / "no" / "such.ini").string());
  EXPECT_FALSE(WritePrivateProfileStringW(L"s", L"k", L"v", missing.c_str()));
}

}  // namespace
