#include <gtest/gtest.h>

#include <vector>

#include "standin/platform/AnswerQueue.h"
#include "standin/platform/CWnd.h"
#include "standin/platform/Controls.h"
#include "standin/platform/SystemMenu.h"

namespace {

// A dialog that records what reaches its handlers.
class RecordingDialog : public CDialog {
 public:
  using CDialog::CDialog;
  void OnOK() override {
    heard.push_back(L"ok");
    CDialog::OnOK();
  }
  void OnCancel() override {
    heard.push_back(L"cancel");
    CDialog::OnCancel();
  }
  void OnShowWindow(BOOL show, UINT status) override {
    shows.push_back({show, status});
    Default();
  }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) == 40) heard.push_back(L"apply");
    return CDialog::OnCommand(wParam, lParam);
  }
  std::vector<std::wstring> heard;
  std::vector<std::pair<BOOL, UINT>> shows;
};

HWND AddButton(HWND dialog, int id, DWORD type) {
  return CreateWindowExW(0, L"Button", L"b", WS_CHILD | WS_VISIBLE | type, 0, 0, 50, 20, dialog,
                         reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
}

MSG Key(HWND dialog, WPARAM vk) { return MSG{dialog, WM_KEYDOWN, vk, 0, 0}; }

// F1 is the export dialog's help test.
TEST(DialogKeys, EnterPressesTheDefaultButtonAndEscapeCancels) {
  RecordingDialog dialog;
  ASSERT_TRUE(dialog.Create(0));
  HWND apply = AddButton(dialog.m_hWnd, 40, BS_DEFPUSHBUTTON);
  MSG enter = Key(dialog.m_hWnd, VK_RETURN);
  zem::DispatchThroughFilter(enter);
  EnableWindow(apply, FALSE);
  zem::DispatchThroughFilter(enter);  // a greyed default button cannot be pressed
  MSG escape = Key(dialog.m_hWnd, VK_ESCAPE);
  zem::DispatchThroughFilter(escape);
  EXPECT_EQ(dialog.heard, (std::vector<std::wstring>{L"apply", L"cancel"}));
  EXPECT_EQ(dialog.Result(), IDCANCEL);
}

TEST(OwnedPopups, MinimiseAndRestoreOfTheOwnerReachOwnedPopupsOnly) {
  HWND owner = zem::CreateWindowObject(L"ZemTestMain", L"", WS_VISIBLE, RECT{0, 0, 800, 600});
  CWnd ownerObject(owner);
  RecordingDialog owned(0, &ownerObject), closed(0, &ownerObject), stranger;
  ASSERT_TRUE(owned.Create(0));
  ASSERT_TRUE(closed.Create(0));
  ASSERT_TRUE(stranger.Create(0));
  EXPECT_EQ(GetWindow(owned.m_hWnd, GW_OWNER), owner);
  owned.ShowWindow(SW_SHOW);
  stranger.ShowWindow(SW_SHOW);
  ShowWindow(owner, SW_MINIMIZE);
  EXPECT_FALSE(owned.IsWindowVisible());
  EXPECT_TRUE(stranger.IsWindowVisible());
  ShowWindow(owner, SW_RESTORE);
  EXPECT_TRUE(owned.IsWindowVisible());
  EXPECT_EQ(owned.shows, (std::vector<std::pair<BOOL, UINT>>{{FALSE, 1}, {TRUE, 3}}));
  EXPECT_TRUE(closed.shows.empty()) << "a hidden popup is neither hidden nor shown again";
  EXPECT_TRUE(stranger.shows.empty());
  EXPECT_FALSE(closed.IsWindowVisible());
  ownerObject.Detach();
  DestroyWindow(owner);
}

TEST(ModalDialog, WithoutAnswersEndsAsItsCloseBoxWould) {
  zem::AnswerQueue::Instance().Clear();
  HWND owner = zem::CreateWindowObject(L"ZemTestMain", L"", WS_VISIBLE, RECT{0, 0, 800, 600});
  CWnd ownerObject(owner);
  RecordingDialog dialog(0, &ownerObject);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.heard, (std::vector<std::wstring>{L"cancel"}));
  EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is usable again";
  EXPECT_FALSE(IsWindow(dialog.m_hWnd));
  ownerObject.Detach();
  DestroyWindow(owner);
  zem::AnswerQueue::Instance().Clear();
}

TEST(ModalDialog, WhoseCloseBoxIsGreyedFailsInsteadOfHanging) {
  zem::AnswerQueue::Instance().Clear();
  class Stubborn : public RecordingDialog {
    BOOL OnInitDialog() override {
      EnableMenuItem(GetSystemMenu(m_hWnd, FALSE), SC_CLOSE, MF_GRAYED);
      return TRUE;
    }
  } dialog;
  EXPECT_EQ(dialog.DoModal(), -1);
  zem::AnswerQueue::Instance().Clear();
}

}  // namespace
