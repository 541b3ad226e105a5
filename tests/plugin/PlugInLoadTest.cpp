#include "standin/host/PlugInModule.h"
#include "standin/platform/CWinApp.h"
#include "standin/platform/ModuleFileName.h"
#include "standin/platform/NativePath.h"
#include "plugin/CRhino_WebGLPlugIn.h"
#include "plugin/HelpLocation.h"
#include "tests/support/PlugInTestSupport.h"

namespace {

using zem::testing::PlugInFolderTest;
namespace fs = std::filesystem;

const std::string kToolBarFile = "zem-toolbars 1\ntoolbar ZEM WebGL\nbutton Export | ZEMWriteWebGL\nend\n";

// The toolbar shown from the collection read last, if any.
const CRhinoUiToolBar* ShownToolBar() {
  const CRhinoUiToolBarManager& manager = RhinoApp().RhinoUiToolBarManager();
  const CRhinoUiToolBarCollection* last = manager.Collection(manager.CollectionCount() - 1);
  return last && last->ToolBar(0)->IsVisible() ? last->ToolBar(0) : nullptr;
}

// Where the toolbar file lies, relative to the module's folder, and how many
// places the load tries before it stops.
struct ToolBarPlace {
  const char* name;
  const char* folder;  // null: nowhere
  int attempts;
};

class PlugInLoadTest : public PlugInFolderTest, public ::testing::WithParamInterface<ToolBarPlace> {};

TEST_P(PlugInLoadTest, TheFirstToolBarPlaceThatReadsIsShownAndTheRestAreNotTried) {
  const ToolBarPlace& place = GetParam();
  // The file lies at its place and at every place further out, which must
  // not be tried once a nearer one reads.
  bool reached = false;
  for (const char* folder : {".", "../../Toolbars", "../../../Toolbars"}) {
    reached = reached || (place.folder && std::string(place.folder) == folder);
    if (reached) Write(moduleFolder / folder / "ZEM_WEBGL.tb", kToolBarFile);
  }

  const zem::PlugInLoadResult result = Load();
  ASSERT_TRUE(result.loaded) << zem::ToUtf8(result.error);
  const auto& attempts = RhinoApp().RhinoUiToolBarManager().ReadAttempts();
  ASSERT_EQ(static_cast<int>(attempts.size()), place.attempts);
  const CRhinoUiToolBar* shown = ShownToolBar();
  if (place.folder == nullptr) {
    EXPECT_EQ(shown, nullptr);
    return;
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->Name(), L"ZEM WebGL");
  EXPECT_TRUE(fs::equivalent(zem::NativePath(attempts.back()), moduleFolder / place.folder / "ZEM_WEBGL.tb"));
}

INSTANTIATE_TEST_SUITE_P(Places, PlugInLoadTest,
                         ::testing::Values(ToolBarPlace{"NextToTheModule", ".", 1},
                                           ToolBarPlace{"TwoFoldersUp", "../../Toolbars", 2},
                                           ToolBarPlace{"ThreeFoldersUp", "../../../Toolbars", 3},
                                           ToolBarPlace{"Nowhere", nullptr, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlugInLoadTest, ZemDevSetEvenEmptyReadsNoToolBarFile) {
  Write(moduleFolder / "ZEM_WEBGL.tb", kToolBarFile);
  ::setenv("ZEM_DEV", "", 1);
  EXPECT_TRUE(Load().loaded);
  EXPECT_TRUE(RhinoApp().RhinoUiToolBarManager().ReadAttempts().empty());
}

TEST_F(PlugInLoadTest, AMissingOrMalformedToolBarLeavesTheLoadAsTheHostAnswers) {
  // The file next to the module is malformed: it reads as no collection, and
  // the one two folders up has no toolbar of the plug-in's name.
  Write(moduleFolder / "ZEM_WEBGL.tb", "zem-toolbars 1\ntoolbar ZEM WebGL\n");
  Write(root / "Rhino" / "Toolbars" / "ZEM_WEBGL.tb", "zem-toolbars 1\ntoolbar Other\nend\n");
  const zem::PlugInLoadResult result = Load();
  EXPECT_TRUE(result.loaded);
  EXPECT_EQ(result.onLoadResult, 1);
  EXPECT_EQ(RhinoApp().RhinoUiToolBarManager().ReadAttempts().size(), 2u);
  EXPECT_EQ(ShownToolBar(), nullptr);
}

TEST_F(PlugInLoadTest, TheModuleIsKnownByThePathItWasLoadedFromHoweverLong) {
  // Deeper than the 260 characters of a fixed path buffer.
  moduleFolder = root / std::string(150, 'a') / std::string(150, 'b') / "bin";
  fs::create_directories(moduleFolder);
  Write(moduleFolder / "ZEM_WEBGL.tb", kToolBarFile);
  const zem::PlugInLoadResult result = Load();
  ASSERT_TRUE(result.loaded);
  EXPECT_EQ(std::wstring(WebGLPlugIn().PlugInFileName()), ModulePath());
  EXPECT_EQ(zem::ModuleFileName(GetModuleHandleW(ModulePath().c_str())), ModulePath());
  EXPECT_NE(ShownToolBar(), nullptr);
  fs::create_directories(moduleFolder / ".." / "Doc");
  EXPECT_EQ(zem::HelpAddress(false), L"mk:@MSITStore:" + ModuleFolder() + L"\\..\\Doc\\ZEM_WEBGL_help.chm");
  // Loading it a second time is refused.
  EXPECT_FALSE(Load().loaded);
  // The application object has no name of its own: its profile is named
  // after the module.
  ASSERT_NE(AfxGetApp(), nullptr);
  EXPECT_TRUE(AfxGetApp()->ProfilePath().ends_with(L"ZEM_Rhino_WebGL.ini"));
}

// A module built for another version of the SDK.
int OldSdkVersion() { return 200510210; }

class OldPlugIn : public CRhinoUtilityPlugIn {
 public:
  ON_UUID PlugInID() const override { return ON_nil_uuid; }
  const wchar_t* PlugInName() const override { return L"Old"; }
  const wchar_t* PlugInVersion() const override { return L"1"; }
  int OnLoadPlugIn() override { return ++loads; }
  int loads = 0;
};

TEST_F(PlugInLoadTest, RefusesAnotherSdkVersionWithoutCallingThePlugIn) {
  static char handle;
  zem::PlugInModule module(
      L"Old.rhp", reinterpret_cast<HMODULE>(&handle),
      {{"RhinoPlugInSdkVersion", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&OldSdkVersion))}});
  OldPlugIn plugIn;
  const zem::PlugInLoadResult result = zem::LoadPlugIn(L"/opt/x/Old.rhp");
  EXPECT_FALSE(result.loaded);
  EXPECT_EQ(plugIn.loads, 0);
  EXPECT_NE(result.error.find(L"200510210"), std::wstring::npos);
  EXPECT_NE(result.error.find(L"200612060"), std::wstring::npos);
  EXPECT_FALSE(zem::LoadPlugIn(L"/opt/x/Unknown.rhp").loaded);
}

}  // namespace
