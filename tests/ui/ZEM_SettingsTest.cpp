#include "ui/ZEM_Settings.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolderTest.h"

#include <filesystem>
#include <string>

#include "standin/platform/ShellFolders.h"
#include "standin/platform/TextEncoding.h"

namespace {

namespace fs = std::filesystem;

// Each test gets its own application-data folder, one level below a fresh
// temporary folder, so that the store has to create it.
class SettingsTest : public zem::testing::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    m_appData = folder / "config";
    zem::OverrideAppDataFolder(zem::FromUtf8(m_appData.string()));
    m_settings = ZEM_SettingsImpl_ptr::Adopt(new ZEM_SettingsImpl);
  }
  void TearDown() override {
    zem::OverrideAppDataFolder(std::nullopt);
    ZEM_SettingsImpl::BaseFolder() = L".\\";
    TempFolderTest::TearDown();
  }

  fs::path m_appData;
  ZEM_SettingsImpl_ptr m_settings;
};

// In the application-data folder, else the current folder.
TEST_F(SettingsTest, PathsLieInTheApplicationDataFolderOrTheCurrentFolder) {
  const std::wstring appData = zem::FromUtf8(m_appData.string());
  EXPECT_EQ(m_settings->GetSettingsPath(), appData + L"\\ZEMSettings.ini");
  EXPECT_EQ(m_settings->GetSettingsPath(L"Other.ini"), appData + L"\\Other.ini") << "no second .ini";
  zem::OverrideAppDataFolder(std::wstring(300, L'x'));  // too long to be named
  ZEM_SettingsImpl::BaseFolder() = L".\\";              // as a fresh process has it
  EXPECT_EQ(ZEM_SettingsImpl().GetSettingsPath(), L".\\ZEMSettings.ini");
}

TEST_F(SettingsTest, ValuesRoundTripAndCreateTheFolder) {
  ASSERT_TRUE(m_settings->WriteString(L"Dialog", L"title", L"My model"));
  ASSERT_TRUE(m_settings->WriteInt(L"Dialog", L"count", -42));
  ASSERT_TRUE(m_settings->WriteBool(L"", L"flag", true));
  ASSERT_TRUE(m_settings->WriteString(L"Help", L"language", L"de", L"Global"));

  std::wstring text;
  int count = 0;
  bool flag = false;
  EXPECT_TRUE(m_settings->ReadString(L"Dialog", L"title", text, L""));
  EXPECT_EQ(text, L"My model");
  EXPECT_TRUE(m_settings->ReadInt(L"Dialog", L"count", count));
  EXPECT_EQ(count, -42);
  EXPECT_TRUE(m_settings->ReadBool(L"settings", L"flag", flag)) << "an empty section means \"settings\"";
  EXPECT_TRUE(flag);
  EXPECT_TRUE(m_settings->ReadString(L"Help", L"language", text, L"", L"Global"));
  EXPECT_EQ(text, L"de");
  EXPECT_FALSE(m_settings->ReadString(L"Help", L"language", text, L"en")) << "stores are separate files";
  EXPECT_EQ(text, L"en");

  EXPECT_TRUE(fs::exists(m_appData / "ZEMSettings.ini"));
  EXPECT_TRUE(fs::exists(m_appData / "Global.ini"));
}

TEST_F(SettingsTest, AbsentValuesKeepWhatTheCallerPassedIn) {
  int number = 17;
  bool flag = true;
  std::wstring text = L"unchanged";
  EXPECT_FALSE(m_settings->ReadInt(L"s", L"missing", number));
  EXPECT_EQ(number, 17);
  EXPECT_FALSE(m_settings->ReadBool(L"s", L"missing", flag));
  EXPECT_TRUE(flag);
  EXPECT_FALSE(m_settings->ReadString(L"s", L"", text, L"default")) << "an empty key reads nothing";
  EXPECT_EQ(text, L"unchanged");
  EXPECT_FALSE(m_settings->WriteString(L"s", L"", L"v"));
  EXPECT_FALSE(fs::exists(m_appData)) << "nothing was written, so no folder was made";
}

TEST_F(SettingsTest, LongTextsAreReadBackCutTo254Characters) {
  const std::wstring longText(400, L'a');
  ASSERT_TRUE(m_settings->WriteString(L"s", L"long", longText));
  std::wstring text;
  ASSERT_TRUE(m_settings->ReadString(L"s", L"long", text, L""));
  EXPECT_EQ(text, longText.substr(0, 254));
}

}  // namespace
