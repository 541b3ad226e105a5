#pragma once
// A fresh folder tree per test: the plug-in is loaded from a module path in
// it, and the settings live in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoUiToolBarManager.h"
#include "standin/host/LoadPlugIn.h"
#include "standin/platform/DebugOutput.h"
#include "standin/platform/HtmlHelp.h"
#include "standin/platform/ShellFolders.h"
#include "standin/platform/TextEncoding.h"
#include "tests/support/TestFolder.h"
#include "ui/ZEM_Settings.h"

namespace zem::testing {

class PlugInFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(moduleFolder);
    zem::OverrideAppDataFolder(FromUtf8(root.string()));
    ZEM_SettingsImpl::BaseFolder() = FromUtf8(root.string());
    ::unsetenv("ZEM_DEV");
    RhinoApp().RhinoUiToolBarManager().Clear();
    ClearHelpRequests();
    ClearDebugOutput();
  }
  void TearDown() override {
    UnloadPlugIn(ModulePath());
    zem::OverrideAppDataFolder(std::nullopt);
    ZEM_SettingsImpl::BaseFolder() = L".\\";
    std::filesystem::remove_all(root);
  }
  std::wstring ModulePath() const { return FromUtf8((moduleFolder / "ZEM_Rhino_WebGL.rhp").string()); }
  std::wstring ModuleFolder() const { return FromUtf8(moduleFolder.string()); }
  PlugInLoadResult Load() { return LoadPlugIn(ModulePath()); }
  static void Write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }

  std::filesystem::path root = TestFolder("zem-plugin");
  std::filesystem::path moduleFolder = root / "Rhino" / "Plug-ins" / "bin";
};

}  // namespace zem::testing
