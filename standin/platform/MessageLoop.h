#pragma once
// Posted messages, timers and the message loop of the window library, on the
// GetTickCount clock. The loop never waits in real time: when nothing is due
// it moves the clock to the next timer.
//
// Timers repeat as Windows' do: a timer due at time t is delivered once when
// the loop finds it due, and is next due one period after that delivery
// (periods missed in between are not made up). SetTimer for a window and id
// that already has a timer restarts it. KillTimer also drops a tick that is
// due but not yet delivered. A destroyed window's timers and posted messages
// die with it.
#include <functional>

#include "standin/platform/WindowMessages.h"

using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// A message read from the queue.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
};

// Queues the message for the window; FALSE for a handle that is no window.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Answers the timer's id (a new one for a null window), 0 on failure. A period
// below 10 ms counts as 10 ms. With `proc` the tick calls it instead of
// sending WM_TIMER.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
BOOL KillTimer(HWND window, UINT_PTR id);

namespace zem {

// Work run once per loop pass after the posted messages (the host's deferred
// redraw). Answers an id for RemoveIdleHandler.
int AddIdleHandler(std::function<void()> handler);
void RemoveIdleHandler(int id);

// Every message first passes this filter (the window library's
// PreTranslateMessage chain); answering true means it was dealt with.
using MessageFilter = std::function<bool(MSG&)>;
void SetMessageFilter(MessageFilter filter);
// Runs a message through the filter, then sends it to its window.
void DispatchThroughFilter(MSG& message);

// Runs passes of: the posted messages, the idle handlers, the due timers, one
// action of the scripted person (ScriptedPerson.h); until `done` answers true
// (checked before every pass and after it). When a pass did nothing it moves
// the clock to the next timer. Answers false when `limit` milliseconds of
// clock time pass first.
bool RunMessageLoop(const std::function<bool()>& done, DWORD limit);

// Timers that are set (live windows only), for tests.
int TimerCount();

}  // namespace zem
