#include "ui/ZEM_UIComponent.h"

#include <gtest/gtest.h>

#include "standin/platform/DebugOutput.h"
#include "standin/platform/Window.h"

namespace {

// A control as the controls are declared: a window-bound component with a
// name of its own.
class TestStatic : public ZEM_2DUIComponent {
  ZEM_DECLARE_CLASS(TestStatic, ZEM_2DUIComponent)
};

TEST(Component, EnablesItsWindowAndBuddyOnlyOnceItHasAnId) {
  HWND parent = zem::CreateWindowObject(L"#32770", L"", WS_VISIBLE, RECT{0, 0, 200, 100});
  HWND own = zem::CreateWindowObject(L"Edit", L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 60, 21}, parent, 10000);
  HWND buddyWindow = zem::CreateWindowObject(L"Static", L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 60, 21}, parent, 10001);
  TestStatic component, buddy;
  component.SetWindow(own);
  buddy.SetWindow(buddyWindow);
  component.SetBuddy(&buddy);
  component.Enable(false);
  EXPECT_TRUE(IsWindowEnabled(own)) << "no id yet";
  component.SetId(10000);
  component.Enable(false);
  EXPECT_FALSE(IsWindowEnabled(own));
  EXPECT_FALSE(IsWindowEnabled(buddyWindow));
  DestroyWindow(parent);
}

TEST(Component, SetWidthAndHeightKeepTheCornerAndTheOtherExtent) {
  HWND parent = zem::CreateWindowObject(L"#32770", L"", WS_VISIBLE, RECT{0, 0, 200, 100});
  HWND own = zem::CreateWindowObject(L"Edit", L"", WS_CHILD | WS_VISIBLE, RECT{10, 20, 70, 41}, parent, 10000);
  TestStatic component;
  component.SetWindow(own);
  component.SetWidth(100);
  component.SetHeight(30);
  RECT r;
  ASSERT_TRUE(GetWindowRect(own, &r));
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{10, 20, 110, 50}));
  DestroyWindow(parent);
}

}  // namespace
