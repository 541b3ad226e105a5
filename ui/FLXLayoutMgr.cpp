#include "ui/FLXLayoutMgr.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "standin/platform/WindowMessages.h"

using PaneBase = FLXLayoutMgr::PaneBase;
using CPaneBase = FLXLayoutMgr::CPaneBase;

namespace {

constexpr int kSmallestSize = 5;
constexpr int kComboEditId = 1000;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

std::wstring ClassName(HWND window) {
  wchar_t name[260];
  const int n = GetClassNameW(window, name, 260);
  return std::wstring(name, static_cast<std::size_t>(std::max(n, 0)));
}

}  // namespace

// ---- handles ---------------------------------------------------------------

CPaneBase::CPaneBase(PaneBase* pane) : m_pane(pane) {
  if (m_pane) m_pane->m_handles.fetch_add(1);
}

CPaneBase::CPaneBase(const CPaneBase& other) : m_pane(other.m_pane) {
  if (m_pane) m_pane->m_handles.fetch_add(1);
}

CPaneBase& CPaneBase::operator=(const CPaneBase& other) {
  PaneBase* old = m_pane;
  m_pane = other.m_pane;
  if (m_pane) m_pane->m_handles.fetch_add(1);
  if (old && old->m_handles.fetch_sub(1) == 1) delete old;
  return *this;
}

CPaneBase::~CPaneBase() { Release(); }

void CPaneBase::Release() {
  if (m_pane && m_pane->m_handles.fetch_sub(1) == 1) delete m_pane;
  m_pane = nullptr;
}

// ---- items -----------------------------------------------------------------

int FLXLayoutMgr::PaneItem::HorzConstraint(int parentWidth) {
  if (m_mode & LayFixedWidth) return m_width;
  if (m_mode & LayRelativeWidth) return m_width * parentWidth / 100;
  return -1;
}

int FLXLayoutMgr::PaneItem::VertConstraint(int parentHeight) {
  if (m_mode & LayFixedHeight) return m_height;
  if (m_mode & LayRelativeHeight) return m_height * parentHeight / 100;
  return -1;
}

int FLXLayoutMgr::PaneItem::MinWidth() {
  return (m_mode & LayFixedWidth) ? m_width : std::max(m_minWidth, kSmallestSize);
}
int FLXLayoutMgr::PaneItem::MaxWidth() { return (m_mode & LayFixedWidth) ? m_width : -1; }
int FLXLayoutMgr::PaneItem::MinHeight() {
  return (m_mode & LayFixedHeight) ? m_height : std::max(m_minHeight, kSmallestSize);
}
int FLXLayoutMgr::PaneItem::MaxHeight() { return (m_mode & LayFixedHeight) ? m_height : -1; }

bool FLXLayoutMgr::PaneItem::ResizeTo(const RECT& cell) {
  if (!m_window) return true;
  RECT current{};
  GetWindowRect(m_window, &current);
  int x = cell.left, y = cell.top, width = Width(cell), height = Height(cell);

  if (!(m_mode & LayFillWidth) && (m_mode & LayFixedWidth)) {
    width = Width(current);
    if ((m_mode & (LayAlignLeft | LayAlignRight)) == (LayAlignLeft | LayAlignRight))
      x = cell.left + (Width(cell) - width) / 2;
    else if (m_mode & LayAlignRight)
      x = cell.right - width;
  }
  if (!(m_mode & LayFillHeight) && (m_mode & LayFixedHeight)) {
    height = Height(current);
    if ((m_mode & (LayAlignTop | LayAlignBottom)) == (LayAlignTop | LayAlignBottom))
      y = cell.top + (Height(cell) - height) / 2;
    else if (m_mode & LayAlignBottom)
      y = cell.bottom - height;
  }

  const DWORD style = static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE));
  const bool dropDown = m_isComboBox && (style & CBS_DROPDOWN);
  if (dropDown) {
    // The drop-down's frame sits one pixel inside the cell on either side;
    // its window height includes the list and stays.
    x += 1;
    width -= 2;
    height = Height(current);
  }
  MoveWindow(m_window, x, y, width, height, TRUE);

  if (m_isComboBox && !dropDown && !(style & CBS_NOINTEGRALHEIGHT)) {
    // A simple combo box ends where its edit field ends.
    RECT edit;
    HWND editWindow = GetDlgItem(m_window, kComboEditId);
    if (editWindow && GetWindowRect(editWindow, &edit)) MoveWindow(m_window, x, y, width, edit.bottom, TRUE);
  }
  InvalidateRect(m_window, nullptr, TRUE);
  UpdateWindow(m_window);
  return true;
}

// ---- panes -----------------------------------------------------------------

int FLXLayoutMgr::Pane::SecondaryConstraint(bool horizontal, unsigned fixedFlag, unsigned relativeFlag,
                                            int parentSize) {
  if (m_mode & relativeFlag) return m_secondarySize * parentSize / 100;
  if (m_mode & fixedFlag) {
    // A fixed pane without a size of its own is as large as its content
    // needs.
    if (m_secondarySize != 0) return m_secondarySize;
    return horizontal ? MinWidth() : MinHeight();
  }
  return 0;
}

int FLXLayoutMgr::Pane::HorzConstraint(int parentWidth) {
  return SecondaryConstraint(true, LayFixedWidth, LayRelativeWidth, parentWidth);
}

int FLXLayoutMgr::Pane::VertConstraint(int parentHeight) {
  return SecondaryConstraint(false, LayFixedHeight, LayRelativeHeight, parentHeight);
}

int FLXLayoutMgr::Pane::MinAlong(bool horizontal) {
  int sum = 0;
  for (auto& child : m_children) sum += std::max(horizontal ? child->MinWidth() : child->MinHeight(), kSmallestSize);
  const int n = static_cast<int>(m_children.size());
  return sum + std::max(n - 1, 0) * m_border + 2 * m_extraBorder;
}

int FLXLayoutMgr::Pane::MaxAlong(bool horizontal) {
  if (m_children.empty()) return -1;
  int sum = -1;  // the sum starts at -1, as it always has
  for (auto& child : m_children) {
    const int max = horizontal ? child->MaxWidth() : child->MaxHeight();
    if (max == -1) return -1;
    sum += max;
  }
  return sum + (static_cast<int>(m_children.size()) - 1) * m_border + 2 * m_extraBorder;
}

int FLXLayoutMgr::Pane::MinAcross(bool horizontal) {
  const unsigned fixedFlag = horizontal ? LayFixedWidth : LayFixedHeight;
  if ((m_mode & fixedFlag) && m_secondarySize != 0) return m_secondarySize;
  int largest = 0;
  for (auto& child : m_children) largest = std::max(largest, horizontal ? child->MinWidth() : child->MinHeight());
  return largest + 2 * m_extraBorder;
}

int FLXLayoutMgr::Pane::MaxAcross(bool horizontal) {
  const unsigned fixedFlag = horizontal ? LayFixedWidth : LayFixedHeight;
  if ((m_mode & fixedFlag) && m_secondarySize != 0) return m_secondarySize;
  if (m_children.empty()) return -1;
  int largest = -1;
  for (auto& child : m_children) {
    const int max = horizontal ? child->MaxWidth() : child->MaxHeight();
    if (max == -1) return -1;
    largest = std::max(largest, max);
  }
  return largest + 2 * m_extraBorder;
}

int FLXLayoutMgr::Pane::MinWidth() { return m_orientation == Horizontal ? MinAlong(true) : MinAcross(true); }
int FLXLayoutMgr::Pane::MaxWidth() { return m_orientation == Horizontal ? MaxAlong(true) : MaxAcross(true); }
int FLXLayoutMgr::Pane::MinHeight() { return m_orientation == Vertical ? MinAlong(false) : MinAcross(false); }
int FLXLayoutMgr::Pane::MaxHeight() { return m_orientation == Vertical ? MaxAlong(false) : MaxAcross(false); }

namespace {

// Sizes along a pane's axis while they are worked out.
struct Slot {
  int size = 0;
  int min = 0;
  int max = -1;
  bool fixed = false;
  bool relative = false;
  bool clamped = false;  // held at its minimum or maximum
  bool free = false;     // may still give or take space
};

// Takes `deficit` pixels from (or, when negative, gives them to) the free
// slots, in proportion to their sizes, round after round while a round
// changes anything. Answers what could not be placed.
int Redistribute(std::vector<Slot>& slots, int deficit) {
  bool changed = true;
  while (changed && deficit != 0) {
    changed = false;
    long long sumFree = 0;
    for (const Slot& s : slots)
      if (s.free) sumFree += s.size;
    const int roundDeficit = deficit;
    for (Slot& s : slots) {
      if (!s.free || deficit == 0) continue;
      int cut = sumFree > 0 ? static_cast<int>(static_cast<long long>(s.size) * roundDeficit / sumFree) : 0;
      bool last = false;
      if (std::abs(roundDeficit) < 6 || cut == 0) {
        cut = deficit;
        last = true;
      }
      // Never more than is still owed.
      if ((deficit > 0 && cut > deficit) || (deficit < 0 && cut < deficit)) cut = deficit;
      int size = s.size - cut;
      if (size < s.min) {
        size = s.min;
        s.free = false;
        s.clamped = true;
      } else if (s.max != -1 && size > s.max) {
        size = s.max;
        s.free = false;
        s.clamped = true;
      }
      const int taken = s.size - size;
      if (taken != 0) changed = true;
      s.size = size;
      deficit -= taken;
      if (last) break;
    }
  }
  return deficit;
}

}  // namespace

bool FLXLayoutMgr::Pane::ResizeTo(const RECT& rectIn) {
  const bool horizontal = m_orientation == Horizontal;
  const unsigned fixedFlag = horizontal ? LayFixedWidth : LayFixedHeight;
  const unsigned relativeFlag = horizontal ? LayRelativeWidth : LayRelativeHeight;
  const unsigned fillFlag = horizontal ? LayFillWidth : LayFillHeight;
  const int n = static_cast<int>(m_children.size());
  if (n == 0) return true;

  RECT rect = rectIn;
  const int extent = horizontal ? Width(rect) : Height(rect);
  int free = extent - 2 * m_extraBorder - (n - 1) * m_border;
  if (horizontal) {
    rect.top += m_extraBorder;
    rect.bottom -= m_extraBorder;
  } else {
    rect.left += m_extraBorder;
    rect.right -= m_extraBorder;
  }

  // Fixed sizes first; the others are greedy unless relative.
  std::vector<Slot> slots(static_cast<std::size_t>(n));
  int greedy = 0;
  for (int i = 0; i < n; ++i) {
    PaneBase* child = m_children[static_cast<std::size_t>(i)].Get();
    Slot& s = slots[static_cast<std::size_t>(i)];
    s.min = horizontal ? child->MinWidth() : child->MinHeight();
    s.max = horizontal ? child->MaxWidth() : child->MaxHeight();
    if (child->m_mode & fixedFlag) {
      s.fixed = true;
      s.size = horizontal ? child->HorzConstraint(0) : child->VertConstraint(0);
      if (s.size < 0) return false;
      free -= s.size;
    } else if (child->m_mode & relativeFlag) {
      s.relative = true;
    } else {
      ++greedy;
    }
  }
  free = std::max(free, 0);

  // Relative sizes: a share of what the fixed ones left, within bounds.
  const int relativeBase = free;
  bool anyRelative = false;
  for (int i = 0; i < n; ++i) {
    Slot& s = slots[static_cast<std::size_t>(i)];
    if (!s.relative) continue;
    anyRelative = true;
    PaneBase* child = m_children[static_cast<std::size_t>(i)].Get();
    const int wanted = horizontal ? child->HorzConstraint(relativeBase) : child->VertConstraint(relativeBase);
    if (wanted < 0) return false;
    s.size = wanted;
    s.free = true;
    if (wanted < s.min) {
      s.size = s.min;
      s.free = false;
      s.clamped = true;
    } else if (s.max != -1 && wanted > s.max) {
      s.size = s.max;
      s.free = false;
      s.clamped = true;
    }
    free -= s.size;
  }
  if (anyRelative && free < 0) {
    // More than there is: the unclamped relative children give it back.
    const int left = Redistribute(slots, -free);
    free = std::max(0, -left);
  }
  for (Slot& s : slots)
    if (s.relative) s.free = false;

  // Greedy children share what is left; the last takes the remainder.
  int deficit = 0;
  int toServe = greedy;
  for (Slot& s : slots) {
    if (s.fixed || s.relative) continue;
    const int share = toServe == 1 ? free : free / toServe;
    --toServe;
    if (share < s.min) {
      s.size = s.min;
      s.clamped = true;
      deficit += s.min - share;
    } else if (s.max == -1 || share <= s.max) {
      s.size = share;
      s.free = true;
    } else {
      s.size = s.max;
      s.clamped = true;
      deficit -= share - s.max;
    }
    free -= share;
  }
  deficit = Redistribute(slots, deficit);

  // Space still left goes to greedy children held at their minimum.
  for (Slot& s : slots) {
    if (deficit >= 0) break;
    if (s.fixed || s.relative || !s.clamped || s.size != s.min) continue;
    const int room = s.max == -1 ? -deficit : std::min(-deficit, s.max - s.min);
    s.size += room;
    deficit += room;
  }

  // With no greedy child, free space goes to fixed children that fill.
  if (free > 0) {
    std::vector<int> fillers;
    for (int i = 0; i < n; ++i) {
      const unsigned mode = m_children[static_cast<std::size_t>(i)]->m_mode;
      const bool fills = ((mode & fixedFlag) && (mode & fillFlag)) ||
                         (horizontal && (mode & LayFixedHeight) && (mode & LayFillHeight));
      if (fills) fillers.push_back(i);
    }
    int left = static_cast<int>(fillers.size());
    for (int i : fillers) {
      const int share = left == 1 ? free : free / left;
      --left;
      slots[static_cast<std::size_t>(i)].size += share;
      free -= share;
    }
  }

  // Placement, one cell after the other.
  int position = (horizontal ? rect.left : rect.top) + m_extraBorder;
  bool placed = true;
  for (int i = 0; i < n; ++i) {
    const int size = slots[static_cast<std::size_t>(i)].size;
    RECT cell = rect;
    if (horizontal) {
      cell.left = position;
      cell.right = position + size;
    } else {
      cell.top = position;
      cell.bottom = position + size;
    }
    placed = m_children[static_cast<std::size_t>(i)]->ResizeTo(cell) && placed;
    position += size + m_border;
  }
  return placed;
}

// ---- the manager -----------------------------------------------------------

CPaneBase FLXLayoutMgr::MakeItem(int controlId, unsigned mode, int width, int minWidth, int minHeight) {
  auto* item = new PaneItem(mode, this);
  CPaneBase handle(item);
  item->m_window = m_window ? GetDlgItem(m_window, controlId) : nullptr;
  RECT r;
  if (!item->m_window || !GetWindowRect(item->m_window, &r)) {
    item->m_window = nullptr;
    item->m_width = width;
    item->m_height = 0;
    return handle;
  }
  item->m_width = width != 0 ? width : Width(r);
  item->m_minWidth = minWidth != -1 ? minWidth : (width != 0 ? width : Width(r));
  item->m_height = Height(r);
  item->m_minHeight = minHeight != -1 ? minHeight : Height(r);
  const std::wstring className = ClassName(item->m_window);
  item->m_isComboBox = className == L"ComboBox" || className == L"ComboBoxEx32";
  return handle;
}

CPaneBase FLXLayoutMgr::MakePane(Orientation orientation, unsigned mode, int border) {
  return CPaneBase(new Pane(mode, this, orientation, border));
}

CPaneBase FLXLayoutMgr::Add(const CPaneBase& pane, const CPaneBase& child) {
  if (auto* p = dynamic_cast<Pane*>(pane.Get()); p && child) p->m_children.push_back(child);
  return pane;
}

CPaneBase FLXLayoutMgr::CreateRoot(Orientation orientation) {
  m_root = CPaneBase();
  m_root = MakePane(orientation, LayGreedy, 3);
  return m_root;
}

void FLXLayoutMgr::UpdateLayout() {
  if (!m_root || !IsWindow(m_window)) return;
  RECT client;
  GetClientRect(m_window, &client);
  m_root->ResizeTo(client);
  for (HWND child : zem::ChildWindows(m_window)) {
    if (!IsWindowVisible(child) || ClassName(child) != L"msctls_updown32") continue;
    const LRESULT buddy = SendMessageW(child, UDM_GETBUDDY, 0, 0);
    SendMessageW(child, UDM_SETBUDDY, 0, 0);
    SendMessageW(child, UDM_SETBUDDY, static_cast<WPARAM>(buddy), 0);
  }
  InvalidateRect(m_window, nullptr, TRUE);
}

std::vector<RECT> FLXLayoutMgr::BackgroundRegion() const {
  std::vector<RECT> region;
  RECT client;
  if (!GetClientRect(m_window, &client)) return region;
  region.push_back(client);
  for (HWND child : zem::ChildWindows(m_window)) {
    if (!IsWindowVisible(child)) continue;
    const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    if (ClassName(child) == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) continue;
    RECT hole;
    GetWindowRect(child, &hole);
    std::vector<RECT> next;
    for (const RECT& r : region) {
      const RECT cut{std::max(r.left, hole.left), std::max(r.top, hole.top), std::min(r.right, hole.right),
                     std::min(r.bottom, hole.bottom)};
      if (cut.left >= cut.right || cut.top >= cut.bottom) {
        next.push_back(r);
        continue;
      }
      // What is left of r around the hole: above, below, left, right.
      if (r.top < cut.top) next.push_back(RECT{r.left, r.top, r.right, cut.top});
      if (cut.bottom < r.bottom) next.push_back(RECT{r.left, cut.bottom, r.right, r.bottom});
      if (r.left < cut.left) next.push_back(RECT{r.left, cut.top, cut.left, cut.bottom});
      if (cut.right < r.right) next.push_back(RECT{cut.right, cut.top, r.right, cut.bottom});
    }
    region = std::move(next);
  }
  return region;
}
