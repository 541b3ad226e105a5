#pragma once
// What the framework's control and dialog tests share: a settings folder of
// their own, the plug-in's module state, text measured in the dialog font, and
// the check that a dialog's controls are laid out whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/ZEM_EventHandler.h"
#include "core/ZEM_RhModelEventHandler.h"
#include "standin/platform/CWinApp.h"
#include "standin/platform/Controls.h"
#include "standin/platform/Fonts.h"
#include "standin/platform/ModuleState.h"
#include "standin/platform/ShellFolders.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/Window.h"
#include "standin/platform/WindowMessages.h"
#include "tests/support/TestFolder.h"
#include "ui/FrameworkResources.h"
#include "ui/ZEM_Settings.h"

// The plug-in registers the host watcher's factory when it loads; the
// framework's dialog tests do the same, so closing a document reaches them.
inline const bool kHostWatcherFactoryRegistered =
    ZEM_ModelEventHandler::SetHostWatcherFactory(&ZEM_RhModelEventHandler::InstallForProcess);

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
  // The first child of `dialog` showing `text` whose style has `style`.
  static HWND Child(HWND dialog, const std::wstring& text, DWORD style = 0) {
    for (HWND child : zem::ChildWindows(dialog))
      if (zem::WindowText(child) == text && (GetWindowLongW(child, GWL_STYLE) & style) == style) return child;
    return nullptr;
  }
  static bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  static std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
  }
  // At least `atLeast` controls are shown, each inside the client area, over
  // no other, and (edits aside) at least as wide as its text.
  static void ExpectTidy(HWND dialog, std::size_t atLeast) {
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> shown;
    for (HWND child : zem::ChildWindows(dialog))
      if (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) shown.push_back(child);
    ASSERT_GE(shown.size(), atLeast);
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const RECT a = Rect(shown[i]);
      const std::wstring text = zem::WindowText(shown[i]);
      const std::string name = zem::ToUtf8(ClassOf(shown[i]) + L" " + text);
      EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= client.right && a.bottom <= client.bottom) << name;
      EXPECT_TRUE(a.right > a.left && a.bottom > a.top) << name;
      EXPECT_TRUE(text.empty() || ClassOf(shown[i]) == L"Edit" || a.right - a.left >= Extent(dialog, text))
          << name << " clipped";
      for (std::size_t j = i + 1; j < shown.size(); ++j) {
        const RECT b = Rect(shown[j]);
        EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
            << name << " over " << zem::ToUtf8(zem::WindowText(shown[j]));
      }
    }
  }

  AFX_MAINTAIN_STATE2 m_state{AfxGetStaticModuleState()};
  std::filesystem::path m_folder;
  CWinApp m_app{L"ZEM_WEBGL"};
};

}  // namespace zem::testing
