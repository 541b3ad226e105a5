#pragma once
// The layout manager: a dialog's controls arranged by a tree of panes
// instead of fixed coordinates. A pane lays out its children side by side
// (horizontal) or stacked (vertical); a child is a control (PaneItem) or
// another pane. Mode flags per child say which sizes are fixed, relative to
// the parent, filled or aligned; what is neither fixed nor relative is
// greedy and takes an equal share of the free space, within its minimum and
// maximum.
#include <atomic>
#include <string>
#include <vector>

#include "standin/platform/WinTypes.h"

class FLXLayoutMgr {
 public:
  enum LayMode : unsigned {
    LayGreedy = 0,
    LayFixedWidth = 0x1,
    LayRelativeWidth = 0x2,
    LayFixedHeight = 0x4,
    LayRelativeHeight = 0x8,
    LayAlignLeft = 0x10,
    LayAlignRight = 0x20,
    LayAlignTop = 0x40,
    LayAlignBottom = 0x80,
    LayFillWidth = 0x100,
    LayFillHeight = 0x200,
  };
  enum Orientation { Horizontal = 0, Vertical = 1 };

  class CPaneBase;

  // A node of the tree. For a pane the size flags refer to its secondary
  // size (its extent across the parent's axis).
  class PaneBase {
   public:
    PaneBase(unsigned mode, FLXLayoutMgr* manager) : m_mode(mode), m_manager(manager) {}
    virtual int HorzConstraint(int parentWidth) = 0;
    virtual int VertConstraint(int parentHeight) = 0;
    virtual int MinWidth() = 0;
    virtual int MaxWidth() = 0;  // -1: unbounded
    virtual int MinHeight() = 0;
    virtual int MaxHeight() = 0;  // -1: unbounded
    // Places itself (and its children) in the rectangle; false when the
    // sizes could not be worked out, and then nothing is placed.
    virtual bool ResizeTo(const RECT& rect) = 0;
    virtual ~PaneBase() = default;

    unsigned m_mode;
    FLXLayoutMgr* m_manager;

   private:
    friend class FLXLayoutMgr::CPaneBase;
    std::atomic<long> m_handles{0};
  };

  // The shared handle of a node; the last handle deletes it. Counts change
  // atomically.
  class CPaneBase {
   public:
    CPaneBase() = default;
    explicit CPaneBase(PaneBase* pane);
    CPaneBase(const CPaneBase& other);
    CPaneBase& operator=(const CPaneBase& other);
    ~CPaneBase();
    PaneBase* operator->() const { return m_pane; }
    PaneBase* Get() const { return m_pane; }
    explicit operator bool() const { return m_pane != nullptr; }

   private:
    void Release();
    PaneBase* m_pane = nullptr;
  };

  // A control of the laid-out window.
  class PaneItem : public PaneBase {
   public:
    PaneItem(unsigned mode, FLXLayoutMgr* manager) : PaneBase(mode, manager) {}
    int HorzConstraint(int parentWidth) override;
    int VertConstraint(int parentHeight) override;
    int MinWidth() override;
    int MaxWidth() override;
    int MinHeight() override;
    int MaxHeight() override;
    bool ResizeTo(const RECT& cell) override;

    int m_width = 0;
    int m_minWidth = 0;
    int m_height = 0;
    int m_minHeight = 0;
    HWND m_window = nullptr;  // null when the id named no control
    bool m_isComboBox = false;
  };

  class Pane : public PaneBase {
   public:
    Pane(unsigned mode, FLXLayoutMgr* manager, Orientation orientation, int border)
        : PaneBase(mode, manager), m_orientation(orientation), m_border(border) {}
    int HorzConstraint(int parentWidth) override;
    int VertConstraint(int parentHeight) override;
    int MinWidth() override;
    int MaxWidth() override;
    int MinHeight() override;
    int MaxHeight() override;
    bool ResizeTo(const RECT& rect) override;

    Orientation m_orientation;
    std::vector<CPaneBase> m_children;
    int m_secondarySize = 0;  // 0: none
    int m_border;             // space between children
    int m_extraBorder = 0;    // margin around the children

   private:
    int MinAlong(bool horizontal);
    int MaxAlong(bool horizontal);
    int MinAcross(bool horizontal);
    int MaxAcross(bool horizontal);
    int SecondaryConstraint(bool horizontal, unsigned fixedFlag, unsigned relativeFlag, int parentSize);
  };

  explicit FLXLayoutMgr(HWND window = nullptr, std::wstring storeName = L"")
      : m_window(window), m_storeName(std::move(storeName)) {}
  virtual ~FLXLayoutMgr() = default;

  // An item for the child control with the id. Width: the argument, or the
  // control's width when 0. Minimum width: the argument, or when -1 the
  // width argument (when not 0) or the control's width. Height: always the
  // control's. Minimum height: the argument, or when -1 the control's
  // height. Without such a control: width as given, height 0, no window.
  CPaneBase MakeItem(int controlId, unsigned mode = LayGreedy, int width = 0, int minWidth = -1, int minHeight = -1);
  CPaneBase MakePane(Orientation orientation, unsigned mode = LayGreedy, int border = 3);
  // Appends a child and answers the pane, so that calls chain.
  CPaneBase Add(const CPaneBase& pane, const CPaneBase& child);
  // Releases the old tree and starts a new root pane (mode 0, border 3).
  CPaneBase CreateRoot(Orientation orientation);
  // Lays the tree out in the window's client rectangle; then lets every
  // visible up-down control follow its buddy, and invalidates the window.
  void UpdateLayout();

  // Where the window's background shows: its client rectangle less every
  // visible child (group boxes excepted, which lie over the background), as
  // non-overlapping rectangles.
  std::vector<RECT> BackgroundRegion() const;

  HWND Window() const { return m_window; }
  void SetWindow(HWND window) { m_window = window; }
  const CPaneBase& Root() const { return m_root; }
  const std::wstring& StoreName() const { return m_storeName; }

 private:
  HWND m_window;
  CPaneBase m_root;
  std::wstring m_storeName;
};
