#include "ui/FLXLayoutDialog.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolderTest.h"

#include <array>

#include "standin/platform/CWinApp.h"
#include "standin/platform/ShellFolders.h"
#include "standin/platform/TextEncoding.h"

namespace {

// A layout dialog with one greedy control, and a status bar on request.
class TestDialog : public FLXLayoutDialog {
 public:
  explicit TestDialog(std::wstring store, bool statusBar = false) : FLXLayoutDialog(119, nullptr, std::move(store)) {
    m_useStatusBar = statusBar;
  }
  BOOL OnInitDialog() override {
    FLXLayoutDialog::OnInitDialog();
    m_control = zem::CreateWindowObject(L"Edit", L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, m_hWnd, 5);
    auto root = Layout().CreateRoot(FLXLayoutMgr::Horizontal);
    Layout().Add(root, Layout().MakeItem(5));
    Layout().UpdateLayout();
    return TRUE;
  }
  HWND m_control = nullptr;
};

class LayoutDialogTest : public zem::testing::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    zem::OverrideAppDataFolder(zem::FromUtf8(folder.string()));
    CDialog::RegisterTemplate(119, 240, 160);
  }
  void TearDown() override {
    zem::OverrideAppDataFolder(std::nullopt);
    TempFolderTest::TearDown();
  }
  static WINDOWPLACEMENT Placement(int left, int top, int right, int bottom) {
    WINDOWPLACEMENT p;
    p.showCmd = SW_SHOWNORMAL;
    p.rcNormalPosition = RECT{left, top, right, bottom};
    return p;
  }

  CWinApp m_app{L"ZEM_WEBGL"};
};

// A stored placement of the expected size is restored and laid out in;
// a record of another size is ignored.
TEST_F(LayoutDialogTest, StoredPlacementIsRestoredAtInitialisationUnlessOfAnotherSize) {
  WINDOWPLACEMENT stored = Placement(30, 40, 430, 340);
  BYTE record[48] = {};
  std::copy_n(reinterpret_cast<BYTE*>(&stored), 44, record);
  for (UINT bytes : {44u, 48u}) {
    ASSERT_TRUE(m_app.WriteProfileBinary(L"ZEM WebGL", L"WindowPlacement", record, bytes));
    TestDialog dialog(L"ZEM WebGL");
    ASSERT_TRUE(dialog.Create(119));
    RECT r, control;
    dialog.GetWindowRect(&r);
    ::GetWindowRect(dialog.m_control, &control);
    if (bytes == 44) {
      EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}), (std::array<LONG, 4>{30, 40, 430, 340}));
      EXPECT_EQ(control.right, 400) << "laid out in the restored size";
    } else {
      EXPECT_EQ(r.left, 0);
      EXPECT_EQ(r.right - r.left, 240) << "the template's size stays";
    }
  }
}

TEST_F(LayoutDialogTest, CancelAndDestroyStoreTheCurrentPlacement) {
  {
    TestDialog dialog(L"Store");
    ASSERT_TRUE(dialog.Create(119));
    dialog.MoveWindow(5, 6, 305, 206);
    dialog.OnCancel();
    EXPECT_FALSE(dialog.IsWindowVisible()) << "a modeless dialog ends by hiding";
  }
  BYTE* data = nullptr;
  UINT bytes = 0;
  ASSERT_TRUE(m_app.GetProfileBinary(L"Store", L"WindowPlacement", &data, &bytes));
  ASSERT_EQ(bytes, 44u);
  WINDOWPLACEMENT stored;
  std::copy_n(data, 44, reinterpret_cast<BYTE*>(&stored));
  delete[] data;
  EXPECT_EQ(stored.length, 44u);
  EXPECT_EQ(stored.rcNormalPosition.left, 5);
  EXPECT_EQ(stored.rcNormalPosition.bottom, 6 + 206);

  TestDialog second(L"Store");
  ASSERT_TRUE(second.Create(119));
  second.MoveWindow(0, 0, 100, 100);
  second.DestroyWindow();
  ASSERT_TRUE(m_app.GetProfileBinary(L"Store", L"WindowPlacement", &data, &bytes));
  std::copy_n(data, 44, reinterpret_cast<BYTE*>(&stored));
  delete[] data;
  EXPECT_EQ(stored.rcNormalPosition.right, 100);
}

TEST_F(LayoutDialogTest, ResizingLaysTheControlsOutAgain) {
  TestDialog dialog(L"");
  ASSERT_TRUE(dialog.Create(119));
  dialog.MoveWindow(0, 0, 500, 100);
  RECT control;
  ::GetWindowRect(dialog.m_control, &control);
  EXPECT_EQ(control.right, 500);
  EXPECT_EQ(control.bottom, 100);
}

}  // namespace
