#include "standin/platform/WindowMessages.h"

#include <gtest/gtest.h>

#include "standin/platform/CWnd.h"
#include "standin/platform/Window.h"

namespace {

TEST(WindowObjects, ChildrenAreShownOnlyWithTheirParentAndGoWithIt) {
  HWND parent = zem::CreateWindowObject(L"Dialog", L"", 0, RECT{});
  HWND child = zem::CreateWindowObject(L"Button", L"OK", WS_CHILD | WS_VISIBLE, RECT{}, parent, 1);
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_FALSE(ShowWindow(parent, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(GetDlgItem(parent, 1), child);
  EXPECT_EQ(GetDlgCtrlID(child), 1);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_TRUE(ShowWindow(parent, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(child));
  DestroyWindow(parent);
  EXPECT_FALSE(IsWindow(child));
}

TEST(WindowObjects, StaleHandlesStayInvalid) {
  const int before = zem::WindowCount();
  HWND w = zem::CreateWindowObject(L"Static", L"x", 0, RECT{});
  DestroyWindow(w);
  HWND next = zem::CreateWindowObject(L"Static", L"y", 0, RECT{});
  EXPECT_NE(w, next);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(SetWindowTextW(w, L"z"));
  EXPECT_EQ(zem::WindowText(w), L"");
  EXPECT_EQ(zem::CreateWindowObject(L"Static", L"", 0, RECT{}, w), nullptr) << "no window with a dead parent";
  DestroyWindow(next);
  EXPECT_EQ(zem::WindowCount(), before);
}

}  // namespace
