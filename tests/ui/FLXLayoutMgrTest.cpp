#include "ui/FLXLayoutMgr.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/WindowMessages.h"

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
class LayoutTest : public ::testing::Test {
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

TEST_F(LayoutTest, GreedyItemsShareTheFreeSpaceAndTheLastTakesTheRemainder) {
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
TEST_F(LayoutTest, ShortfallOfAClampedItemIsTakenFromTheOthersInProportion) {
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

TEST_F(LayoutTest, SpaceABoundedPaneCannotTakeGoesToTheOthers) {
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

TEST_F(LayoutTest, FixedWidthPaneWithoutASizeOfItsOwnIsAsWideAsItsContent) {
  // A button column: fixed width, filling the height, beside greedy content.
  auto root = layout.CreateRoot(Mgr::Horizontal);
  HWND content = Item(root, 1, 10);
  auto buttons = layout.MakePane(Mgr::Vertical, Mgr::LayFixedWidth | Mgr::LayFillHeight);
  HWND button = Item(buttons, 2, 50, Mgr::LayFillWidth | Mgr::LayFixedHeight, 0, 55);
  layout.Add(root, buttons);
  LayOut(300, 100);
  EXPECT_EQ(Width(Rect(button)), 55);
  EXPECT_EQ(Rect(button).right, 300);
  EXPECT_EQ(Width(Rect(content)), 300 - 3 - 55);
  static_cast<Mgr::Pane*>(buttons.Get())->m_secondarySize = 80;
  layout.UpdateLayout();
  EXPECT_EQ(Width(Rect(button)), 80) << "a size of its own wins";
}

TEST_F(LayoutTest, RelativeItemTakesItsPercentOfWhatFixedItemsLeave) {
  auto row = Row();
  HWND fixed = Item(row, 1, 100, Mgr::LayFixedWidth), relative = Item(row, 2, 10, Mgr::LayRelativeWidth, 25),
       greedy = Item(row, 3, 10);
  LayOut(300, 40);
  EXPECT_EQ(Widths({fixed, relative, greedy}), (std::vector<int>{100, 50, 150}));
}

TEST_F(LayoutTest, FixedItemsThatFillShareWhatNoGreedyItemTook) {
  auto root = layout.CreateRoot(Mgr::Horizontal);
  HWND plain = Item(root, 1, 50, Mgr::LayFixedWidth), filling = Item(root, 2, 50, Mgr::LayFixedWidth | Mgr::LayFillWidth);
  LayOut(200, 40);
  EXPECT_EQ(Width(Rect(plain)), 50);
  EXPECT_EQ(Rect(filling).left, 53);
  EXPECT_EQ(Width(Rect(filling)), 147);
}

TEST_F(LayoutTest, FixedSizeItemsAlignInTheirCell) {
  auto root = layout.CreateRoot(Mgr::Vertical);
  HWND left = Control(1, 40, 20), right = Control(2, 40, 20), centre = Control(3, 40, 20), bottom = Control(4, 40, 20);
  layout.Add(root, layout.MakeItem(1, Mgr::LayFixedWidth));
  layout.Add(root, layout.MakeItem(2, Mgr::LayFixedWidth | Mgr::LayAlignRight));
  layout.Add(root, layout.MakeItem(3, Mgr::LayFixedWidth | Mgr::LayAlignLeft | Mgr::LayAlignRight));
  auto row = layout.MakePane(Mgr::Horizontal);
  layout.Add(row, layout.MakeItem(4, Mgr::LayFixedHeight | Mgr::LayAlignBottom));
  layout.Add(root, row);
  LayOut(200, 200);
  EXPECT_EQ(Rect(left).left, 0);
  EXPECT_EQ(Rect(right).right, 200);
  EXPECT_EQ(Rect(centre).left, 80);
  EXPECT_EQ(Width(Rect(centre)), 40);
  // The row is the greedy fourth cell of the column: it ends at the bottom.
  EXPECT_EQ(Rect(bottom).bottom, 200);
  EXPECT_EQ(Height(Rect(bottom)), 20);
}

TEST_F(LayoutTest, FixedHeightEditWithMinimumWidthFillsItsCellAndWidensItsColumn) {
  auto root = layout.CreateRoot(Mgr::Horizontal);
  auto column = layout.MakePane(Mgr::Vertical);
  HWND edit = Control(1, 60, 21, L"Edit");
  layout.Add(column, layout.MakeItem(1, Mgr::LayFixedHeight, 150, 150));
  layout.Add(root, column);
  EXPECT_EQ(column->MinWidth(), 150);

  LayOut(100, 100);
  EXPECT_EQ(Width(Rect(edit)), 150) << "the column is at least 150 wide";
  EXPECT_EQ(Height(Rect(edit)), 21) << "keeps its own height";
  LayOut(260, 100);
  EXPECT_EQ(Width(Rect(edit)), 260) << "takes the whole width of its cell";
}

// A drop-down combo box is one pixel narrower on each side and keeps its
// height; a simple one ends where its edit field ends.
TEST_F(LayoutTest, ComboBoxesKeepTheHeightOfWhatTheyShow) {
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
  DestroyWindow(combo);
  DestroyWindow(other);
  HWND simple = Control(3, 80, 100, L"ComboBox", CBS_SIMPLE);
  zem::CreateWindowObject(L"Edit", L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 80, 23}, simple, 1000);
  layout.Add(layout.CreateRoot(Mgr::Horizontal), layout.MakeItem(3));
  LayOut(150, 90);
  EXPECT_EQ(Width(Rect(simple)), 150);
  EXPECT_EQ(Height(Rect(simple)), 23);
}

TEST_F(LayoutTest, ItemWithoutAControlMovesNothing) {
  auto root = layout.CreateRoot(Mgr::Horizontal);
  auto missing = layout.MakeItem(77, Mgr::LayFixedWidth, 40);
  auto* item = static_cast<Mgr::PaneItem*>(missing.Get());
  EXPECT_EQ(item->m_window, nullptr);
  EXPECT_EQ(item->m_width, 40);
  EXPECT_EQ(item->m_height, 0);
  HWND after = Control(1, 10, 10);
  layout.Add(root, missing);
  layout.Add(root, layout.MakeItem(1));
  LayOut(100, 20);
  EXPECT_EQ(Rect(after).left, 43) << "its cell is kept";
}

TEST_F(LayoutTest, PaneConstraintsSumAlongAndTakeTheLargestAcross) {
  Control(1, 40, 20);
  Control(2, 60, 30);
  auto row = layout.MakePane(Mgr::Horizontal, Mgr::LayGreedy, 3);
  layout.Add(row, layout.MakeItem(1, Mgr::LayFixedWidth | Mgr::LayFixedHeight));
  layout.Add(row, layout.MakeItem(2, Mgr::LayFixedWidth | Mgr::LayFixedHeight));
  EXPECT_EQ(row->MinWidth(), 103);
  EXPECT_EQ(row->MaxWidth(), 102) << "the sum of maxima starts at -1";
  EXPECT_EQ(row->MinHeight(), 30);
  EXPECT_EQ(row->MaxHeight(), 30);
  layout.Add(row, layout.MakeItem(1));
  EXPECT_EQ(row->MaxWidth(), -1) << "an unbounded child makes the pane unbounded";
  EXPECT_EQ(layout.MakePane(Mgr::Vertical)->MaxHeight(), -1);
}

TEST_F(LayoutTest, UpDownControlFollowsItsMovedBuddy) {
  auto root = layout.CreateRoot(Mgr::Horizontal);
  HWND edit = Control(1, 60, 21, L"Edit");
  HWND spin = Control(2, 16, 21, L"msctls_updown32", UDS_ALIGNRIGHT);
  SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  auto column = layout.MakePane(Mgr::Vertical);
  layout.Add(column, layout.MakeItem(1, Mgr::LayFixedHeight));
  layout.Add(root, column);
  LayOut(200, 50);
  EXPECT_EQ(Rect(spin).right, 200);
  EXPECT_EQ(Rect(edit).right, 200 - 16);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)), edit);
}

TEST_F(LayoutTest, BackgroundShowsOnlyWhereNoVisibleControlLiesExceptGroupBoxes) {
  MoveWindow(m_dialog, 0, 0, 100, 100, TRUE);
  HWND control = zem::CreateWindowObject(L"Edit", L"", WS_CHILD | WS_VISIBLE, RECT{10, 10, 30, 30}, m_dialog, 1);
  zem::CreateWindowObject(L"Button", L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, RECT{0, 0, 100, 100}, m_dialog, 2);
  zem::CreateWindowObject(L"Edit", L"", WS_CHILD, RECT{50, 50, 60, 60}, m_dialog, 3);  // hidden
  auto region = layout.BackgroundRegion();
  long area = 0;
  for (const RECT& r : region) {
    area += static_cast<long>(Width(r)) * Height(r);
    const RECT& c = Rect(control);
    const bool overlaps = r.left < c.right && c.left < r.right && r.top < c.bottom && c.top < r.bottom;
    EXPECT_FALSE(overlaps);
  }
  EXPECT_EQ(area, 100 * 100 - 20 * 20);
}

// A node that counts its own destruction.
struct CountedItem : Mgr::PaneItem {
  explicit CountedItem(int* deleted) : PaneItem(0, nullptr), m_deleted(deleted) {}
  ~CountedItem() override { ++*m_deleted; }
  int* m_deleted;
};

TEST(PaneHandles, LastHandleDeletesAndANewRootReleasesTheOldTree) {
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
