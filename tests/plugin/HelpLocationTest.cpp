#include "plugin/HelpLocation.h"

#include "standin/platform/Modules.h"
#include "standin/platform/NativePath.h"
#include "plugin/CRhino_WebGLPlugIn.h"
#include "tests/support/PlugInTestSupport.h"
#include "tests/support/ScopedEnv.h"

namespace {

using zem::testing::PlugInFolderTest;
namespace fs = std::filesystem;

const fs::path kCompiledHelp = fs::path(ZEM_TEST_DATA_DIR) / ".." / ".." / "plugin" / "help" / "ZEM_WEBGL_help.chm";

struct LanguageCase {
  const char* name;
  const wchar_t* setting;  // null: none stored
  bool japaneseMarker, germanMarker;
  const wchar_t* folder;  // the language folder in the address
};

class HelpLocationTest : public PlugInFolderTest, public ::testing::WithParamInterface<LanguageCase> {
 protected:
  void SetUp() override {
    PlugInFolderTest::SetUp();
    ::setenv("ZEM_DEV", "1", 1);
    ASSERT_TRUE(Load().loaded);
  }
  void SetLanguage(const std::wstring& value) {
    ASSERT_TRUE(ZEM_SettingsImpl::Instance()->WriteString(L"Language", L"OnlineHelpLanguage", value, L"Global"));
  }
  void Mark(const char* language) {
    Write(root / "Rhino" / "Plug-ins" / "Doc" / language / "default_language.txt", "");
  }
  // D as the plug-in forms it: the module folder and "\..\Doc\" as text.
  std::wstring Doc() const { return ModuleFolder() + L"\\..\\Doc\\"; }
};

TEST_P(HelpLocationTest, AddressNamesTheLanguageFolder) {
  const LanguageCase& c = GetParam();
  fs::create_directories(root / "Rhino" / "Plug-ins" / "Doc");
  if (c.setting) SetLanguage(c.setting);
  if (c.japaneseMarker) Mark("Japanese");
  if (c.germanMarker) Mark("German");
  const std::wstring file = Doc() + c.folder + L"ZEM_WEBGL_help.chm";
  EXPECT_EQ(zem::HelpAddress(false), L"mk:@MSITStore:" + file);
  EXPECT_EQ(zem::HelpAddress(true), L"mk:@MSITStore:" + file + L"::writewebgl.htm");
}

INSTANTIATE_TEST_SUITE_P(
    Languages, HelpLocationTest,
    ::testing::Values(LanguageCase{"NothingMeansEnglish", nullptr, false, false, L""},
                      LanguageCase{"GermanMarker", nullptr, false, true, L"German\\"},
                      LanguageCase{"JapaneseMarker", nullptr, true, false, L"Japanese\\"},
                      LanguageCase{"GermanWinsOverJapanese", nullptr, true, true, L"German\\"},
                      LanguageCase{"EnglishSettingIgnoresMarkers", L"English", true, true, L""},
                      LanguageCase{"LowerCaseEnglishIsAFolder", L"english", false, false, L"english\\"},
                      LanguageCase{"SettingNeedsNoMarker", L"Japanese", false, true, L"Japanese\\"},
                      LanguageCase{"ParentFolderIsNoLanguage", L"..\\..\\Windows\\Help", false, true, L""},
                      LanguageCase{"DriveIsNoLanguage", L"C:", false, false, L""},
                      LanguageCase{"SlashIsNoLanguage", L"a/b", false, false, L""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HelpLocationTest, DocFolderTwoLevelsUpThenNone) {
  fs::create_directories(root / "Rhino" / "Doc");
  EXPECT_EQ(zem::HelpAddress(false), L"mk:@MSITStore:" + ModuleFolder() + L"\\..\\..\\Doc\\ZEM_WEBGL_help.chm");
  fs::remove_all(root / "Rhino" / "Doc");
  // No folder at all: the address has no folder part (not one at the root).
  EXPECT_EQ(zem::HelpAddress(true), L"mk:@MSITStore:ZEM_WEBGL_help.chm::writewebgl.htm");
}

TEST_F(HelpLocationTest, ThePlugInsHelpOpensTheInstalledFileAndTopicsAreChecked) {
  const fs::path installed = root / "Rhino" / "Plug-ins" / "Doc" / "ZEM_WEBGL_help.chm";
  Write(installed, "");
  fs::copy_file(kCompiledHelp, installed, fs::copy_options::overwrite_existing);
  // A desktop session whose xdg-open notes what it was asked to open.
  Write(root / "desktop" / "xdg-open", "#!/bin/sh\necho \"$1\" >> \"${0%/*}/opened\"\n");
  fs::permissions(root / "desktop" / "xdg-open", fs::perms::owner_all);
  zem::testing::ScopedEnv path{"PATH", (root / "desktop").c_str()}, display{"DISPLAY", ":99"};
  EXPECT_FALSE(WebGLPlugIn().OnDisplayPlugInHelp(nullptr));
  zem::OpenHelp(zem::HelpAddress(true));
  zem::OpenHelp(zem::HelpAddress(false) + L"::/nosuchpage.htm");
  fs::remove(installed);
  Write(installed, "not a help file");
  zem::OpenHelp(zem::HelpAddress(false));

  const auto& requests = zem::HelpRequests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_TRUE(requests[0].found && requests[0].topic.empty());
  EXPECT_TRUE(requests[1].found && requests[1].topic == L"writewebgl.htm");
  EXPECT_FALSE(requests[2].found || requests[3].found);
  EXPECT_NE(zem::DebugOutput().at(0).find(L"nosuchpage.htm"), std::wstring::npos);
  std::ifstream opened(root / "desktop" / "opened");
  std::string line;
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(std::getline(opened, line));
    EXPECT_TRUE(fs::equivalent(line, installed));
  }
  EXPECT_FALSE(std::getline(opened, line));
  EXPECT_EQ(zem::LibraryLoadCount(L"hhctrl.ocx"), 1);
}

TEST_F(HelpLocationTest, WithoutTheHelpLibraryNothingIsShown) {
  // The library stays loaded once loaded, so this runs in a fresh process.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        zem::SetLibraryInstalled(L"HHCTRL.OCX", false);
        zem::OpenHelp(zem::HelpAddress(true));
        std::exit(zem::HelpRequests().empty() && zem::LibraryLoadCount(L"HHCTRL.OCX") == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
