#include "platform/Controls.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A parent window that records the notifications its controls send.
class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_parent = zem::CreateWindowObject(L"#32770", L"", WS_VISIBLE, RECT{0, 0, 300, 200});
    zem::SetWindowProcedure(m_parent, [this](UINT message, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
      if (message == WM_COMMAND) m_heard.push_back({LOWORD(wParam), HIWORD(wParam)});
      handled = message == WM_COMMAND;
      return 0;
    });
  }
  void TearDown() override { DestroyWindow(m_parent); }
  HWND Make(const wchar_t* className, DWORD style, int id) {
    return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 80, 21, m_parent,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
  }
  using Heard = std::vector<std::pair<WORD, WORD>>;
  HWND m_parent = nullptr;
  Heard m_heard;
};

TEST_F(ControlsTest, SettingStatesByMessageNotifiesOnlyTheSingleLineEditsText) {
  HWND edit = Make(L"Edit", ES_AUTOHSCROLL, 10);
  HWND multi = Make(L"Edit", ES_MULTILINE, 11);
  HWND combo = Make(L"ComboBox", CBS_DROPDOWNLIST, 12);
  HWND box = Make(L"Button", BS_AUTOCHECKBOX, 13);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"one"));
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12.5"));
  SendMessageW(multi, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a\r\nb"));
  EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 0, 0), 0);
  SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(m_heard, (Heard{{10, EN_CHANGE}}));
  EXPECT_EQ(zem::WindowText(edit), L"12.5");
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ControlsTest, ClicksChangeAutomaticBoxesAndTellTheParentButNotWhenDisabled) {
  HWND box = Make(L"Button", BS_AUTOCHECKBOX, 20);
  HWND push = Make(L"Button", BS_PUSHBUTTON, 21);
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(box, BM_SETCHECK, BST_INDETERMINATE, 0);
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED) << "a two-state box leaves the third state";
  SendMessageW(push, BM_CLICK, 0, 0);
  EnableWindow(push, FALSE);
  SendMessageW(push, BM_CLICK, 0, 0);
  EXPECT_EQ(m_heard, (Heard{{20, BN_CLICKED}, {20, BN_CLICKED}, {21, BN_CLICKED}}));
}

TEST_F(ControlsTest, ComboBoxKeepsPointerSizedItemDataAndRefusesBadIndices) {
  HWND combo = Make(L"ComboBox", CBS_DROPDOWNLIST, 30);
  int target = 0;
  for (const wchar_t* text : {L"Self", L"New window", L"Parent"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  ASSERT_EQ(SendMessageW(combo, CB_SETITEMDATA, 2, reinterpret_cast<LPARAM>(&target)), TRUE);
  EXPECT_EQ(SendMessageW(combo, CB_SETITEMDATA, 3, 0), CB_ERR);
  EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 2, 0), reinterpret_cast<LPARAM>(&target));
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 7, 0), CB_ERR);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR) << "a bad index clears the selection";
}

}  // namespace
