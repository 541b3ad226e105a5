#include "ui/FLXLayoutDialog.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolderTest.h"

#include <algorithm>
#include <array>

#include "standin/platform/CWinApp.h"
#include "standin/platform/ShellFolders.h"
#include "standin/platform/TextEncoding.h"

namespace {

// A layout dialog with one greedy control.
class TestDialog : public FLXLayoutDialog {
 public:
  explicit TestDialog(std::wstring store) : FLXLayoutDialog(119, nullptr, std::move(store)) {}
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

class FLXLayoutDialogTest : public zem::testing::TempFolderTest {
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
  // The placement record under the store, with its size in bytes.
  std::pair<WINDOWPLACEMENT, UINT> Stored(const wchar_t* store) {
    BYTE* data = nullptr;
    UINT bytes = 0;
    WINDOWPLACEMENT stored{};
    if (m_app.GetProfileBinary(store, L"WindowPlacement", &data, &bytes))
      std::copy_n(data, std::min<UINT>(bytes, 44), reinterpret_cast<BYTE*>(&stored));
    delete[] data;
    return {stored, bytes};
  }

  CWinApp m_app{L"ZEM_WEBGL"};
};

// A stored placement of the expected size is restored and laid out in;
// a record of another size is ignored.
TEST_F(FLXLayoutDialogTest, StoredPlacementIsRestoredAtInitialisationUnlessOfAnotherSize) {
  WINDOWPLACEMENT stored;
  stored.showCmd = SW_SHOWNORMAL;
  stored.rcNormalPosition = RECT{30, 40, 430, 340};
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

TEST_F(FLXLayoutDialogTest, CancelAndDestroyStoreTheCurrentPlacement) {
  {
    TestDialog dialog(L"Store");
    ASSERT_TRUE(dialog.Create(119));
    dialog.MoveWindow(5, 6, 305, 206);
    dialog.OnCancel();
    EXPECT_FALSE(dialog.IsWindowVisible()) << "a modeless dialog ends by hiding";
  }
  const auto [stored, bytes] = Stored(L"Store");
  ASSERT_EQ(bytes, 44u);
  EXPECT_EQ(stored.length, 44u);
  EXPECT_EQ(stored.rcNormalPosition.left, 5);
  EXPECT_EQ(stored.rcNormalPosition.bottom, 6 + 206);

  TestDialog second(L"Store");
  ASSERT_TRUE(second.Create(119));
  second.MoveWindow(0, 0, 100, 100);
  second.DestroyWindow();
  EXPECT_EQ(Stored(L"Store").first.rcNormalPosition.right, 100);
}

}  // namespace
