// The framework's controls inside a framework dialog: ids, sizes measured in
// the dialog font, settings, number modes, item data and tooltips.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/Resources.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ZEM_Bitmap.h"
#include "ui/ZEM_Button.h"
#include "ui/ZEM_CheckBox.h"
#include "ui/ZEM_ComboBox.h"
#include "ui/ZEM_Dialog.h"
#include "ui/ZEM_Edit.h"
#include "ui/ZEM_Separator.h"
#include "ui/ZEM_Static.h"

namespace {

class ControlsTest : public zem::test::FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    m_dialog.SetButtonFlags(0);
    ASSERT_TRUE(m_dialog.CreateDialogWindow());
  }
  std::string SettingsFile() const {
    std::ifstream in(m_folder / "ZEMSettings.ini", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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
  const bool numbered = first.Id() == 10000 && named.Id() == 77 && second.Id() == 10001 &&
                        GetDlgItem(dialog.m_hWnd, 10001) == second.Window();
  std::exit(numbered ? 0 : 1);
}

TEST(ControlIds, TheProcesssFirstControlsTake10000And10001) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(MakeTheFirstControls(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ControlsTest, ControlsAreSizedFromTheirTextInTheDialogFont) {
  ZEM_CheckBox zip;
  ZEM_Static label;
  ZEM_Edit edit;
  ZEM_ComboBox combo;
  ZEM_Separator separator;
  ZEM_Button button;
  ASSERT_TRUE(zip.Create(&m_dialog, L"Send ZIP file"));
  ASSERT_TRUE(label.Create(&m_dialog, L"Approximate file size"));
  ASSERT_TRUE(edit.Create(&m_dialog));
  ASSERT_TRUE(combo.Create(&m_dialog));
  ASSERT_TRUE(separator.Create(&m_dialog));
  ASSERT_TRUE(button.Create(&m_dialog, L"Cancel"));
  const HWND d = m_dialog.m_hWnd;
  struct Case {
    HWND window;
    int width;
  };
  for (const Case& c : {Case{zip.Window(), Extent(d, L"Send ZIP file") + 16},
                        Case{label.Window(), Extent(d, L"Approximate file size")}, Case{edit.Window(), 60},
                        Case{combo.Window(), Extent(d, L"Test")}, Case{separator.Window(), 1},
                        Case{button.Window(), Extent(d, L"Cancel")}}) {
    const RECT r = Rect(c.window);
    EXPECT_EQ(r.right - r.left, c.width) << zem::ToUtf8(zem::WindowText(c.window));
    EXPECT_EQ(r.bottom - r.top, 21);
    EXPECT_EQ(r.left, 0);
    EXPECT_TRUE(GetWindowLongW(c.window, GWL_STYLE) & WS_VISIBLE) << "shown (in a dialog not yet shown)";
    EXPECT_EQ(SendMessageW(c.window, WM_GETFONT, 0, 0), SendMessageW(d, WM_GETFONT, 0, 0)) << "the dialog's font";
  }
  EXPECT_GT(Extent(d, L"Send ZIP file"), 40) << "measured, not zero";
}

TEST_F(ControlsTest, PicturesAndIconButtonsTakeTheirOwnSizes) {
  ZEM_Bitmap top;
  ZEM_Button undo;
  ASSERT_TRUE(top.Create(&m_dialog, zem::kTopBitmap, 54, 43));
  ASSERT_TRUE(undo.CreateIcon(&m_dialog, zem::kUndoIcon));
  RECT r = Rect(top.Window());
  EXPECT_EQ(r.right - r.left, 54);
  EXPECT_EQ(r.bottom - r.top, 43);
  const zem::Picture* bitmap = zem::PictureOf(reinterpret_cast<void*>(SendMessageW(top.Window(), STM_GETIMAGE, IMAGE_BITMAP, 0)));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->width, 54);
  r = Rect(undo.Window());
  EXPECT_EQ(r.right - r.left, 22);
  EXPECT_EQ(r.bottom - r.top, 22);
  const zem::Picture* icon = zem::PictureOf(reinterpret_cast<void*>(SendMessageW(undo.Window(), BM_GETIMAGE, IMAGE_ICON, 0)));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->width, 16);
  EXPECT_EQ(icon->height, 16);
}

TEST_F(ControlsTest, CheckBoxWithoutKeyNeitherReadsNorWritesTheSettings) {
  ZEM_CheckBox box;
  ASSERT_TRUE(box.Create(&m_dialog, L"Show Dots"));
  box.SetChecked(true);
  EXPECT_FALSE(box.WriteToSettings());
  EXPECT_FALSE(box.ReadFromSettings());
  EXPECT_TRUE(box.IsChecked());
  EXPECT_FALSE(std::filesystem::exists(m_folder / "ZEMSettings.ini"));
}

TEST_F(ControlsTest, CheckBoxWithKeyRoundTripsItsStateThroughTheSettings) {
  for (bool checked : {true, false}) {
    {
      ZEM_CheckBox box;
      box.SetSettingsKey(L"Export", L"Zip");
      ASSERT_TRUE(box.Create(&m_dialog, L"Send ZIP file"));
      box.SetChecked(checked);
      EXPECT_TRUE(box.WriteToSettings());
    }
    EXPECT_NE(SettingsFile().find(checked ? "Zip=1" : "Zip=0"), std::string::npos) << SettingsFile();
    ZEM_CheckBox again;
    again.SetSettingsKey(L"Export", L"Zip");
    ASSERT_TRUE(again.Create(&m_dialog, L"Send ZIP file"));
    EXPECT_EQ(again.IsChecked(), checked) << "read when created";
  }
}

TEST_F(ControlsTest, EditRightAlignsAtTheFirstSwitchToANumberMode) {
  ZEM_Edit text, real, integer;
  for (ZEM_Edit* edit : {&text, &real, &integer}) ASSERT_TRUE(edit->Create(&m_dialog));
  const auto rightAligned = [](ZEM_Edit& e) { return (GetWindowLongW(e.Window(), GWL_STYLE) & ES_RIGHT) != 0; };
  EXPECT_FALSE(rightAligned(text));
  EXPECT_EQ(text.GetMode(), ZEM_Edit::Mode::Text);
  EXPECT_EQ(text.Minimum(), -2147483647.0);
  real.SetRealRange(0, 1, 0.1);
  integer.SetIntegerRange(1, 10);
  EXPECT_TRUE(rightAligned(real));
  EXPECT_TRUE(rightAligned(integer));
  EXPECT_EQ(real.GetMode(), ZEM_Edit::Mode::Real);
  EXPECT_EQ(real.Maximum(), 1.0);
  EXPECT_TRUE(GetWindowLongW(real.Window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(ControlsTest, NumbersShowTheirDecimalsAndTheEditKeepsItsOwnCopy) {
  ZEM_Edit edit;
  ZEM_Static label;
  ASSERT_TRUE(edit.Create(&m_dialog));
  ASSERT_TRUE(label.Create(&m_dialog, L"0"));
  edit.SetNumber(3.14159, 2);
  label.SetNumber(-2.5, 0);
  EXPECT_EQ(edit.GetText(), L"3.14");
  EXPECT_EQ(zem::WindowText(label.Window()), L"-2");
  // What a person types is read from the window; the copy is what was set.
  SetWindowTextW(edit.Window(), L"7");
  EXPECT_EQ(edit.GetText(), L"7");
  EXPECT_EQ(edit.KeptText(), L"3.14");
}

TEST_F(ControlsTest, ComboBoxAnswersTheSelectedItemsDataOnlyWithASelection) {
  ZEM_ComboBox combo;
  ASSERT_TRUE(combo.Create(&m_dialog));
  EXPECT_FALSE(combo.SelectedData());
  combo.AddItem(L"Mail", 0);
  combo.AddItem(L"Web", 20);
  combo.AddItem(L"None", -7);
  EXPECT_FALSE(combo.SelectedData());
  ASSERT_TRUE(combo.SelectData(-7));
  EXPECT_EQ(combo.SelectedData(), -7);
  SendMessageW(combo.Window(), CB_SETCURSEL, 1, 0);
  EXPECT_EQ(combo.SelectedData(), 20);
  EXPECT_FALSE(combo.SelectData(99));
}

TEST_F(ControlsTest, ToolTipsJoinTheDialogsTooltipControl) {
  ZEM_Button button;
  ZEM_Static unmade;
  ASSERT_TRUE(button.Create(&m_dialog, L"Apply"));
  EXPECT_TRUE(button.SetToolTip(L"Apply the options"));
  EXPECT_FALSE(unmade.SetToolTip(L"no window"));
  const auto tips = zem::ToolTips(m_dialog.ToolTipWindow());
  ASSERT_EQ(tips.size(), 1u);
  EXPECT_EQ(tips[0].text, L"Apply the options");
  EXPECT_EQ(tips[0].id, reinterpret_cast<std::uintptr_t>(button.Window()));
}

TEST_F(ControlsTest, SizingKeepsTheCornerAndFitsTheText) {
  ZEM_Static label;
  ASSERT_TRUE(label.Create(&m_dialog, L"Author"));
  MoveWindow(label.Window(), 7, 9, 10, 10, FALSE);
  label.SetSize(80, 30);
  EXPECT_EQ(Rect(label.Window()).right, 87);
  EXPECT_EQ(Rect(label.Window()).bottom, 39);
  label.SetText(L"Author of the model");
  label.SizeToText(4);
  EXPECT_EQ(Rect(label.Window()).right - 7, Extent(m_dialog.m_hWnd, L"Author of the model") + 4);
  EXPECT_EQ(Rect(label.Window()).top, 9);
}

}  // namespace
