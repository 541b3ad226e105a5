#pragma once
// A fresh folder tree per test, with the plug-in loaded from a module path
// inside it, the settings and profiles kept inside it too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/CRhinoApp.h"
#include "host/CRhinoUiToolBarManager.h"
#include "host/LoadPlugIn.h"
#include "platform/DebugOutput.h"
#include "platform/HtmlHelp.h"
#include "platform/ShellFolders.h"
#include "platform/TextEncoding.h"
#include "ui/ZEM_Settings.h"

namespace zem::test {

namespace fs = std::filesystem;

class PlugInFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("zem-plugin-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    moduleFolder = root / "Rhino" / "Plug-ins" / "bin";
    fs::create_directories(moduleFolder);
    fs::create_directories(root / "config");
    zem::OverrideAppDataFolder(FromUtf8((root / "config").string()));
    ZEM_SettingsImpl::BaseFolder() = FromUtf8((root / "config").string());
    ZEM_SettingsImpl::SubFolder().clear();
    ::unsetenv("ZEM_DEV");
    RhinoApp().RhinoUiToolBarManager().Clear();
    ClearHelpRequests();
    ClearDebugOutput();
  }
  void TearDown() override {
    UnloadPlugIn(ModulePath());
    ::unsetenv("ZEM_DEV");
    zem::OverrideAppDataFolder(std::nullopt);
    ZEM_SettingsImpl::BaseFolder() = L".\\";
    fs::remove_all(root);
  }
  std::wstring ModulePath() const { return FromUtf8((moduleFolder / "ZEM_Rhino_WebGL.rhp").string()); }
  std::wstring ModuleFolder() const { return FromUtf8(moduleFolder.string()); }
  PlugInLoadResult Load() { return LoadPlugIn(ModulePath()); }
  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }

  fs::path root;
  fs::path moduleFolder;
};

}  // namespace zem::test
