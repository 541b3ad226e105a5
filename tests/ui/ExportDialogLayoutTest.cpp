// The export options dialog's content, laid out from stand-in windows of the
// sizes its controls are created with: statics and check boxes as wide as
// their text (plus 16 for the box), edits 60, the link-mode combo as wide as
// "Test", everything 21 high.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/WindowMessages.h"
#include "ui/FLXLayoutMgr.h"

namespace {

using Mgr = FLXLayoutMgr;

// The dialog font's average character width, for the stand-in text extents.
constexpr int kCharWidth = 6;
int TextExtent(const std::wstring& text) { return static_cast<int>(text.size()) * kCharWidth; }

enum Id { TitleLabel = 10000, AuthorLabel, SizeLabel, TitleEdit, AuthorEdit, LinkEdit, LinkMode, ZipCheck, NotesCheck, DotsCheck };

RECT Rect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class ExportDialogLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dialog = zem::CreateWindowObject(L"#32770", L"", WS_VISIBLE, RECT{0, 0, 150, 122});
    m_layout.SetWindow(m_dialog);
    Make(SizeLabel, L"Static", TextExtent(L"Approximate file size: 0.1 MB"));
    Make(TitleLabel, L"Static", TextExtent(L"HTML Title"));
    Make(AuthorLabel, L"Static", TextExtent(L"Author"));
    Make(TitleEdit, L"Edit", 60);
    Make(AuthorEdit, L"Edit", 60);
    Make(LinkEdit, L"Edit", 60);
    Make(LinkMode, L"ComboBox", TextExtent(L"Test"), CBS_DROPDOWNLIST);
    Make(ZipCheck, L"Button", TextExtent(L"Send ZIP file") + 16);
    Make(NotesCheck, L"Button", TextExtent(L"Show Notes") + 16);
    Make(DotsCheck, L"Button", TextExtent(L"Show Dots") + 16);

    // The framework's root and content pane, then the dialog's own tree.
    auto root = m_layout.CreateRoot(Mgr::Horizontal);
    auto content = m_layout.MakePane(Mgr::Vertical, 0, 3);
    m_layout.Add(root, content);

    const unsigned labelMode = Mgr::LayFillWidth | Mgr::LayFixedHeight;  // 0x104
    const unsigned filling = Mgr::LayFillWidth | Mgr::LayFillHeight;     // 0x300
    auto outer = m_layout.MakePane(Mgr::Vertical, filling, 3);
    auto columns = m_layout.MakePane(Mgr::Horizontal, filling, 3);
    auto left = m_layout.MakePane(Mgr::Vertical, 0, 3);
    auto right = m_layout.MakePane(Mgr::Vertical, 0, 3);
    for (int id : {TitleLabel, AuthorLabel, LinkMode, DotsCheck, NotesCheck, ZipCheck})
      m_layout.Add(left, m_layout.MakeItem(id, labelMode));
    m_layout.Add(right, m_layout.MakeItem(TitleEdit, Mgr::LayFixedHeight, 150, 150));
    m_layout.Add(right, m_layout.MakeItem(AuthorEdit, Mgr::LayFixedHeight));
    m_layout.Add(right, m_layout.MakeItem(LinkEdit, Mgr::LayFixedHeight));
    m_layout.Add(columns, left);
    m_layout.Add(columns, right);
    m_layout.Add(outer, columns);
    m_layout.Add(outer, m_layout.MakeItem(SizeLabel, labelMode));
    m_layout.Add(content, outer);
  }
  void TearDown() override { DestroyWindow(m_dialog); }

  void Make(int id, const wchar_t* className, int width, DWORD style = 0) {
    m_controls.push_back(
        zem::CreateWindowObject(className, L"", WS_CHILD | WS_VISIBLE | style, RECT{0, 0, width, 21}, m_dialog, id));
  }
  RECT Of(int id) const { return Rect(GetDlgItem(m_dialog, id)); }

  void LayOutAt(int width, int height) {
    MoveWindow(m_dialog, 0, 0, width, height, TRUE);
    m_layout.UpdateLayout();
  }

  void ExpectSoundArrangement(int width, int height) {
    // Every control placed inside the dialog, with a size, and no two on
    // top of each other.
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
      const RECT r = Rect(m_controls[i]);
      EXPECT_GE(r.left, 0) << i;
      EXPECT_GE(r.top, 0) << i;
      EXPECT_LE(r.right, width) << i;
      EXPECT_LE(r.bottom, height) << i;
      EXPECT_GT(r.right - r.left, 0) << i;
      EXPECT_EQ(r.bottom - r.top, 21) << i;
      for (std::size_t j = i + 1; j < m_controls.size(); ++j)
        EXPECT_FALSE(Overlap(r, Rect(m_controls[j]))) << "controls " << i << " and " << j;
    }
    // Each edit in its label's row, to the right of it.
    const std::pair<int, int> rows[] = {{TitleLabel, TitleEdit}, {AuthorLabel, AuthorEdit}, {LinkMode, LinkEdit}};
    for (auto [label, edit] : rows) {
      EXPECT_EQ(Of(edit).top, Of(label).top) << edit;
      EXPECT_GT(Of(edit).left, Of(label).right) << edit;
    }
    // The edits share their column, at least 150 wide.
    EXPECT_GE(Of(TitleEdit).right - Of(TitleEdit).left, 150);
    EXPECT_EQ(Of(AuthorEdit).left, Of(TitleEdit).left);
    EXPECT_EQ(Of(LinkEdit).right, Of(TitleEdit).right);
    // The check boxes below the combo, in their order; the size text last.
    EXPECT_GT(Of(DotsCheck).top, Of(LinkMode).top);
    EXPECT_GT(Of(NotesCheck).top, Of(DotsCheck).top);
    EXPECT_GT(Of(ZipCheck).top, Of(NotesCheck).top);
    EXPECT_GT(Of(SizeLabel).top, Of(ZipCheck).top);
    // The drop-down list one pixel inside its column on either side.
    EXPECT_EQ(Of(LinkMode).left, Of(TitleLabel).left + 1);
    EXPECT_EQ(Of(LinkMode).right, Of(TitleLabel).right - 1);
  }

  HWND m_dialog = nullptr;
  Mgr m_layout{nullptr};
  std::vector<HWND> m_controls;
};

TEST_F(ExportDialogLayout, FitsItsSmallestSize) {
  const int width = m_layout.Root()->MinWidth();
  const int height = m_layout.Root()->MinHeight();
  // Left column as wide as its widest text, the right one 150, a border
  // between; six rows of 21 and the size text below.
  EXPECT_EQ(width, TextExtent(L"Send ZIP file") + 16 + 3 + 150);
  EXPECT_EQ(height, 7 * 21 + 6 * 3);
  LayOutAt(width, height);
  ExpectSoundArrangement(width, height);
  EXPECT_EQ(Of(SizeLabel).bottom, height);
}

TEST_F(ExportDialogLayout, StaysSoundInALargerWindow) {
  LayOutAt(420, 260);
  ExpectSoundArrangement(420, 260);
  EXPECT_EQ(Of(TitleEdit).right, 420) << "the edits reach the right edge";
  EXPECT_EQ(Of(TitleLabel).top, 0);
}

}  // namespace
