// The framework's controls in a framework dialog: ids, sizes measured in the
// dialog font, check boxes without a settings key, and item data.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/UiTestSupport.h"
#include "ui/ZEM_Button.h"
#include "ui/ZEM_CheckBox.h"
#include "ui/ZEM_ComboBox.h"
#include "ui/ZEM_Dialog.h"
#include "ui/ZEM_Edit.h"
#include "ui/ZEM_Separator.h"

namespace {

class ZEM_ControlsTest : public zem::testing::FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    m_dialog.SetButtonFlags(0);
    ASSERT_TRUE(m_dialog.CreateDialogWindow());
  }
  ZEM_Dialog m_dialog;
};

// Runs in a fresh process, where no control has been made yet.
[[noreturn]] void MakeTheFirstControls() {
  zem::RegisterFrameworkResources();
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  ZEM_Dialog dialog;
  dialog.SetButtonFlags(0);
  if (!dialog.CreateDialogWindow()) std::exit(3);
  ZEM_Static first, named, second;
  first.Create(&dialog, L"a");
  named.Create(&dialog, L"b", 77);
  second.Create(&dialog, L"c");
  std::exit(first.Id() == 10000 && named.Id() == 77 && second.Id() == 10001 &&
                    GetDlgItem(dialog.m_hWnd, 10001) == second.Window()
                ? 0
                : 1);
}

TEST_F(ZEM_ControlsTest, TheProcesssFirstControlsTake10000And10001) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(MakeTheFirstControls(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ZEM_ControlsTest, ControlsAreSizedFromTheirTextInTheDialogFont) {
  ZEM_CheckBox zip;
  ZEM_Static label;
  ZEM_Edit edit;
  ZEM_ComboBox combo;
  ZEM_Separator separator;
  ZEM_Button button, icon;
  ASSERT_TRUE(zip.Create(&m_dialog, L"Send ZIP file") && label.Create(&m_dialog, L"Approximate file size") &&
              edit.Create(&m_dialog) && combo.Create(&m_dialog) && separator.Create(&m_dialog) &&
              button.Create(&m_dialog, L"Cancel") && icon.CreateIcon(&m_dialog, zem::kUndoIcon));
  const HWND d = m_dialog.m_hWnd;
  ASSERT_GT(Extent(d, L"Send ZIP file"), 40) << "measured, not zero";
  struct Case {
    HWND window;
    int width, height;
  };
  for (const Case& c : {Case{zip.Window(), Extent(d, L"Send ZIP file") + 16, 21},
                        Case{label.Window(), Extent(d, L"Approximate file size"), 21}, Case{edit.Window(), 60, 21},
                        Case{combo.Window(), Extent(d, L"Test"), 21}, Case{separator.Window(), 1, 21},
                        Case{button.Window(), Extent(d, L"Cancel"), 21}, Case{icon.Window(), 22, 22}}) {
    const RECT r = Rect(c.window);
    EXPECT_EQ(r.right - r.left, c.width) << zem::ToUtf8(zem::WindowText(c.window));
    EXPECT_EQ(r.bottom - r.top, c.height);
    EXPECT_TRUE(GetWindowLongW(c.window, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(SendMessageW(c.window, WM_GETFONT, 0, 0), SendMessageW(d, WM_GETFONT, 0, 0)) << "the dialog's font";
  }
}

TEST_F(ZEM_ControlsTest, OnlyACheckBoxWithAKeyReadsAndWritesTheSettings) {
  ZEM_CheckBox keyless;
  ASSERT_TRUE(keyless.Create(&m_dialog, L"Show Dots"));
  keyless.SetChecked(true);
  EXPECT_FALSE(keyless.WriteToSettings());
  EXPECT_FALSE(keyless.ReadFromSettings());
  EXPECT_FALSE(std::filesystem::exists(m_folder / "ZEMSettings.ini"));
}

TEST_F(ZEM_ControlsTest, ComboBoxAnswersTheSelectedItemsDataOnlyWithASelection) {
  ZEM_ComboBox combo;
  ASSERT_TRUE(combo.Create(&m_dialog));
  combo.AddItem(L"Mail", 0);
  combo.AddItem(L"Web", 20);
  EXPECT_FALSE(combo.SelectedData()) << "nothing selected, though an item's data is 0";
  SendMessageW(combo.Window(), CB_SETCURSEL, 1, 0);
  EXPECT_EQ(combo.SelectedData(), 20);
}

}  // namespace
