#include "standin/platform/MessageLoop.h"

#include <gtest/gtest.h>

#include <vector>

#include "standin/platform/CWnd.h"
#include "standin/platform/Clock.h"

namespace {

// A window object that records the timer ticks it hears, and may act on them.
class TickWindow : public CWnd {
 public:
  TickWindow() { Attach(zem::CreateWindowObject(L"ZemTestWindow", L"", WS_VISIBLE, RECT{0, 0, 10, 10})); }
  ~TickWindow() override {
    if (HWND w = Detach()) ::DestroyWindow(w);
  }
  void OnTimer(UINT_PTR id) override {
    ticks.push_back(id);
    if (onTick) onTick(id);
  }
  std::vector<UINT_PTR> ticks;
  std::function<void(UINT_PTR)> onTick;
};

TEST(MessageLoopTest, TickKilledWhileDueIsNeverDelivered) {
  TickWindow window;
  // Both timers fall due in the same pass; the first one's handler kills the
  // second before it is delivered.
  window.SetTimer(1, 100);
  window.SetTimer(2, 100);
  window.onTick = [&](UINT_PTR id) {
    window.KillTimer(id);
    window.KillTimer(id == 1 ? 2 : 1);
  };
  zem::RunMessageLoop([] { return false; }, 1000);
  ASSERT_EQ(window.ticks.size(), 1u);
}

TEST(MessageLoopTest, DestroyedWindowTakesItsTimersAndPostedMessagesWithIt) {
  auto window = std::make_unique<TickWindow>();
  HWND handle = window->m_hWnd;
  window->SetTimer(3, 50);
  ASSERT_TRUE(PostMessageW(handle, WM_TIMER, 3, 0));
  const int timersBefore = zem::TimerCount();
  window.reset();
  EXPECT_EQ(zem::TimerCount(), timersBefore - 1);
  EXPECT_FALSE(zem::RunMessageLoop([] { return false; }, 500)) << "nothing left to do until the limit";
  EXPECT_FALSE(PostMessageW(handle, WM_TIMER, 3, 0));
}

TEST(MessageLoopTest, PostedMessagesThenIdleThenTimersAndGivesUpAtItsLimit) {
  TickWindow window;
  std::vector<std::string> order;
  const int idle = zem::AddIdleHandler([&] { order.push_back("idle"); });
  window.onTick = [&](UINT_PTR) {
    order.push_back("timer");
    window.KillTimer(5);
  };
  zem::SetWindowProcedure(window.m_hWnd, [&](UINT message, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
    handled = message == WM_USER;
    if (handled) order.push_back("posted");
    if (message == WM_TIMER) window.OnTimer(wParam), handled = true;
    return 0;
  });
  window.SetTimer(5, 10);
  zem::AdvanceClock(10);
  PostMessageW(window.m_hWnd, WM_USER, 0, 0);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(zem::RunMessageLoop([] { return false; }, 3000));
  EXPECT_GE(GetTickCount() - start, 3000u);
  EXPECT_LT(GetTickCount() - start, 3500u) << "the clock is moved, not waited on";
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(std::vector(order.begin(), order.begin() + 3), (std::vector<std::string>{"posted", "idle", "timer"}));
  zem::RemoveIdleHandler(idle);
}

}  // namespace
