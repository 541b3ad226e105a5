#pragma once
// What the framework's control and dialog tests share: a settings folder of
// their own, the plug-in's module state, and text measured in the dialog font.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/CWinApp.h"
#include "platform/Fonts.h"
#include "platform/ModuleState.h"
#include "platform/ShellFolders.h"
#include "platform/TextEncoding.h"
#include "platform/WindowMessages.h"
#include "tests/support/TestFolder.h"
#include "ui/FrameworkResources.h"
#include "ui/ZEM_Settings.h"

namespace zem::testing {

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_folder = TestFolder("zem-ui");
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    zem::OverrideAppDataFolder(zem::FromUtf8(m_folder.string()));
    ZEM_SettingsImpl::Instance();
    ZEM_SettingsImpl::BaseFolder() = zem::FromUtf8(m_folder.string());
    ASSERT_TRUE(zem::RegisterFrameworkResources());
  }
  void TearDown() override {
    zem::OverrideAppDataFolder(std::nullopt);
    ZEM_SettingsImpl::BaseFolder() = L".\\";
    std::filesystem::remove_all(m_folder);
  }
  static int Extent(HWND dialog, const std::wstring& text) {
    HDC dc = GetDC(dialog);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    SIZE size;
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(dialog, dc);
    return size.cx;
  }
  static RECT Rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  }

  AFX_MAINTAIN_STATE2 m_state{AfxGetStaticModuleState()};
  std::filesystem::path m_folder;
  CWinApp m_app{L"ZEM_WEBGL"};
};

}  // namespace zem::testing
