#include "ui/FLXLayoutMgr.h"

#include <gtest/gtest.h>

#include <vector>

#include "standin/platform/WindowMessages.h"

namespace {

using Mgr = FLXLayoutMgr;

RECT Rect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
std::vector<int> Widths(std::initializer_list<HWND> windows) {
  std::vector<int> widths;
  for (HWND w : windows) widths.push_back(Width(Rect(w)));
  return widths;
}

// A dialog window of the given client size with controls made on demand;
// controls start at (0, 0) as the framework creates them.
class FLXLayoutMgrTest : public ::testing::Test {
 protected:
  HWND Control(int id, int width, int height, const wchar_t* className = L"Static", DWORD style = 0) {
    return zem::CreateWindowObject(className, L"", WS_CHILD | WS_VISIBLE | style, RECT{0, 0, width, height}, m_dialog,
                                   id);
  }
  // A control of width x 21 and its item in the pane.
  HWND Item(const Mgr::CPaneBase& pane, int id, int width, unsigned mode = Mgr::LayGreedy, int size = 0,
            int minimum = -1) {
    HWND control = Control(id, width, 21);
    layout.Add(pane, layout.MakeItem(id, mode, size, minimum));
    return control;
  }
  // A greedy row in a horizontal root.
  Mgr::CPaneBase Row() {
    auto row = layout.MakePane(Mgr::Horizontal, Mgr::LayGreedy, 0);
    layout.Add(layout.CreateRoot(Mgr::Horizontal), row);
    return row;
  }
  // Resizes the dialog and lays the controls out in it.
  void LayOut(int width, int height) {
    MoveWindow(m_dialog, 0, 0, width, height, TRUE);
    layout.UpdateLayout();
  }

  // Destroyed after the manager that lays it out.
  struct Window {
    HWND handle = zem::CreateWindowObject(L"#32770", L"", WS_VISIBLE, RECT{0, 0, 300, 200});
    ~Window() { DestroyWindow(handle); }
  } m_window;
  HWND m_dialog = m_window.handle;
  Mgr layout{m_dialog};
};

TEST_F(FLXLayoutMgrTest, GreedyItemsShareTheFreeSpaceAndTheLastTakesTheRemainder) {
  auto root = layout.CreateRoot(Mgr::Horizontal);
  HWND a = Item(root, 1, 10), b = Item(root, 2, 10), c = Item(root, 3, 10);
  LayOut(300, 50);
  EXPECT_EQ(Widths({a, b, c}), (std::vector<int>{98, 98, 98}));
  EXPECT_EQ(Rect(b).left, 101) << "border of 3 between items";
  EXPECT_EQ(Rect(c).left, 202);
  EXPECT_EQ(Height(Rect(a)), 50) << "greedy across the axis too";
  LayOut(301, 50);
  EXPECT_EQ(Widths({a, b, c}), (std::vector<int>{98, 98, 99}));
}

// A greedy item keeps its minimum in too small a cell; the shortfall is
// taken from the others in proportion.
TEST_F(FLXLayoutMgrTest, ShortfallOfAClampedItemIsTakenFromTheOthersInProportion) {
  HWND alone = Item(layout.CreateRoot(Mgr::Horizontal), 4, 10, Mgr::LayGreedy, 0, 120);
  LayOut(100, 30);
  EXPECT_EQ(Width(Rect(alone)), 120);
  DestroyWindow(alone);
  auto row = Row();
  HWND a = Item(row, 1, 10, Mgr::LayGreedy, 0, 50), b = Item(row, 2, 10, Mgr::LayGreedy, 0, 5),
       c = Item(row, 3, 10, Mgr::LayGreedy, 0, 5);
  LayOut(100, 30);
  // Shares 33, 33, 34; the first needs 17 more, taken 8 and 8 in proportion
  // and the last pixel from the first that can give it.
  EXPECT_EQ(Widths({a, b, c}), (std::vector<int>{50, 24, 26}));
  EXPECT_EQ(Rect(c).right, 100);
}

TEST_F(FLXLayoutMgrTest, SpaceABoundedPaneCannotTakeGoesToTheOthers) {
  auto row = Row();
  auto bounded = layout.MakePane(Mgr::Vertical);
  HWND fixed = Item(bounded, 1, 40, Mgr::LayFixedWidth);
  layout.Add(row, bounded);
  HWND greedy = Item(row, 2, 10);
  LayOut(200, 40);
  EXPECT_EQ(Width(Rect(fixed)), 40);
  EXPECT_EQ(Rect(greedy).left, 40);
  EXPECT_EQ(Width(Rect(greedy)), 160);
}

TEST_F(FLXLayoutMgrTest, FixedItemsThatFillShareWhatNoGreedyItemTook) {
  auto root = layout.CreateRoot(Mgr::Horizontal);
  HWND plain = Item(root, 1, 50, Mgr::LayFixedWidth),
       filling = Item(root, 2, 50, Mgr::LayFixedWidth | Mgr::LayFillWidth);
  LayOut(200, 40);
  EXPECT_EQ(Width(Rect(plain)), 50);
  EXPECT_EQ(Rect(filling).left, 53);
  EXPECT_EQ(Width(Rect(filling)), 147);
}

// A drop-down combo box is one pixel narrower on each side and keeps its
// height.
TEST_F(FLXLayoutMgrTest, ComboBoxesKeepTheHeightOfWhatTheyShow) {
  auto root = layout.CreateRoot(Mgr::Horizontal);
  HWND combo = Control(1, 30, 120, L"ComboBox", CBS_DROPDOWNLIST);
  HWND other = Control(2, 30, 120, L"Static");
  layout.Add(root, layout.MakeItem(1));
  layout.Add(root, layout.MakeItem(2));
  LayOut(203, 60);
  EXPECT_EQ(Rect(combo).left, 1);
  EXPECT_EQ(Rect(combo).right, 99);
  EXPECT_EQ(Height(Rect(combo)), 120) << "its window height includes the list";
  EXPECT_EQ(Rect(other).left, 103);
  EXPECT_EQ(Rect(other).right, 203) << "plain controls fill their cell";
}

// A node that counts its own destruction.
struct CountedItem : Mgr::PaneItem {
  explicit CountedItem(int* deleted) : PaneItem(0, nullptr), m_deleted(deleted) {}
  ~CountedItem() override { ++*m_deleted; }
  int* m_deleted;
};

TEST_F(FLXLayoutMgrTest, PaneHandlesLastHandleDeletesAndANewRootReleasesTheOldTree) {
  int deleted = 0;
  {
    Mgr::CPaneBase first(new CountedItem(&deleted));
    Mgr::CPaneBase second = first;
    first = Mgr::CPaneBase();
    EXPECT_EQ(deleted, 0);
    const Mgr::CPaneBase& alias = second;  // self-assignment through another name
    second = alias;
    EXPECT_EQ(deleted, 0);
  }
  EXPECT_EQ(deleted, 1);

  Mgr layout;
  auto root = layout.CreateRoot(Mgr::Vertical);
  layout.Add(root, Mgr::CPaneBase(new CountedItem(&deleted)));
  root = Mgr::CPaneBase();
  layout.CreateRoot(Mgr::Horizontal);
  EXPECT_EQ(deleted, 2);
}

}  // namespace
