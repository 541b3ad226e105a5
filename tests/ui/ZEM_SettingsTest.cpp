#include "ui/ZEM_Settings.h"

#include <gtest/gtest.h>

#include "tests/support/TestFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ShellFolders.h"
#include "platform/TextEncoding.h"

namespace {

namespace fs = std::filesystem;

// Each test gets its own application-data folder, one level below a fresh
// temporary folder, so that the store has to create it.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = zem::testing::TestFolder("zem-settings");
    fs::remove_all(m_root);
    fs::create_directories(m_root);
    m_appData = m_root / "config";
    zem::OverrideAppDataFolder(zem::FromUtf8(m_appData.string()));
    m_settings = ZEM_SettingsImpl_ptr::Adopt(new ZEM_SettingsImpl);
  }
  void TearDown() override {
    zem::OverrideAppDataFolder(std::nullopt);
    ZEM_SettingsImpl::BaseFolder() = L".\\";
    ZEM_SettingsImpl::SubFolder().clear();
    fs::remove_all(m_root);
  }
  std::string FileText(const char* name) const {
    std::ifstream in(m_appData / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path m_root;
  fs::path m_appData;
  ZEM_SettingsImpl_ptr m_settings;
};

// In the application-data folder, else base and subfolder joined with one
// separator, else the current folder.
TEST_F(SettingsTest, PathsLieInTheApplicationDataFolderOrTheBaseFolder) {
  const std::wstring folder = zem::FromUtf8(m_appData.string());
  EXPECT_EQ(m_settings->GetSettingsPath(), folder + L"\\ZEMSettings.ini");
  EXPECT_EQ(m_settings->GetSettingsPath(L"Other.ini"), folder + L"\\Other.ini") << "no second .ini";
  ZEM_SettingsImpl::BaseFolder() = L"/base/";
  EXPECT_EQ(m_settings->GetSettingsPath(), L"/base/ZEMSettings.ini");
  ZEM_SettingsImpl::BaseFolder() = L"C:\\base\\";
  ZEM_SettingsImpl::SubFolder() = L"sub";
  EXPECT_EQ(m_settings->GetSettingsPath(L"x"), L"C:\\base\\sub\\x.ini");
  zem::OverrideAppDataFolder(std::wstring(300, L'x'));  // too long to be named
  ZEM_SettingsImpl::BaseFolder() = L".\\";
  ZEM_SettingsImpl::SubFolder().clear();
  EXPECT_EQ(ZEM_SettingsImpl().GetSettingsPath(), L".\\ZEMSettings.ini");
}

TEST_F(SettingsTest, ValuesRoundTripAndCreateTheFolder) {
  ASSERT_TRUE(m_settings->WriteString(L"Dialog", L"title", L"My model"));
  ASSERT_TRUE(m_settings->WriteInt(L"Dialog", L"count", -42));
  ASSERT_TRUE(m_settings->WriteBool(L"", L"flag", true));
  ASSERT_TRUE(m_settings->WriteReal(L"Dialog", L"scale", 2.5));
  ASSERT_TRUE(m_settings->WriteString(L"Help", L"language", L"de", L"Global"));

  std::wstring text;
  int count = 0;
  bool flag = false;
  double scale = 0;
  EXPECT_TRUE(m_settings->ReadString(L"Dialog", L"title", text, L""));
  EXPECT_EQ(text, L"My model");
  EXPECT_TRUE(m_settings->ReadInt(L"Dialog", L"count", count));
  EXPECT_EQ(count, -42);
  EXPECT_TRUE(m_settings->ReadBool(L"settings", L"flag", flag)) << "an empty section means \"settings\"";
  EXPECT_TRUE(flag);
  EXPECT_TRUE(m_settings->ReadReal(L"Dialog", L"scale", scale));
  EXPECT_DOUBLE_EQ(scale, 2.5);
  EXPECT_TRUE(m_settings->ReadString(L"Help", L"language", text, L"", L"Global"));
  EXPECT_EQ(text, L"de");
  EXPECT_FALSE(m_settings->ReadString(L"Help", L"language", text, L"en")) << "stores are separate files";
  EXPECT_EQ(text, L"en");

  EXPECT_TRUE(fs::exists(m_appData / "ZEMSettings.ini"));
  EXPECT_TRUE(fs::exists(m_appData / "Global.ini"));
}

TEST_F(SettingsTest, RealsUseSixDecimalsUpTo1e12AndTheShortFormAbove) {
  ASSERT_TRUE(m_settings->WriteReal(L"r", L"tiny", 1e-11));
  ASSERT_TRUE(m_settings->WriteReal(L"r", L"small", -1e-10));
  ASSERT_TRUE(m_settings->WriteReal(L"r", L"limit", 1e12));
  ASSERT_TRUE(m_settings->WriteReal(L"r", L"huge", 2e12));
  EXPECT_EQ(FileText("ZEMSettings.ini"),
            "[r]\r\ntiny=0.000000\r\nsmall=-0.000000\r\nlimit=1000000000000.000000\r\nhuge=2e+12\r\n");
  double huge = 0;
  ASSERT_TRUE(m_settings->ReadReal(L"r", L"huge", huge));
  EXPECT_EQ(huge, 2e12);
}

TEST_F(SettingsTest, AbsentValuesKeepWhatTheCallerPassedIn) {
  int number = 17;
  double real = 0.123456789;
  bool flag = true;
  std::wstring text = L"unchanged";
  EXPECT_FALSE(m_settings->ReadInt(L"s", L"missing", number));
  EXPECT_EQ(number, 17);
  EXPECT_FALSE(m_settings->ReadReal(L"s", L"missing", real));
  EXPECT_EQ(real, 0.123456789);
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

TEST_F(SettingsTest, TextWithALineBreakDoesNotAddAKey) {
  ASSERT_TRUE(m_settings->WriteString(L"s", L"title", L"line one\ninjected=1"));
  std::wstring text;
  EXPECT_FALSE(m_settings->ReadString(L"s", L"injected", text, L""));
}

TEST_F(SettingsTest, EnsureFolderCreatesEveryMissingLevel) {
  const std::wstring deep = zem::FromUtf8(m_root.string()) + L"\\a\\b/c";
  EXPECT_TRUE(m_settings->EnsureFolder(deep));
  EXPECT_TRUE(fs::is_directory(m_root / "a" / "b" / "c"));
  EXPECT_TRUE(m_settings->EnsureFolder(deep)) << "an existing folder is fine";
  std::ofstream(m_root / "file") << "x";
  EXPECT_FALSE(m_settings->EnsureFolder(zem::FromUtf8((m_root / "file" / "sub").string())));
}

}  // namespace
