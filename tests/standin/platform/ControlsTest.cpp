#include "standin/platform/Controls.h"

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

}  // namespace
