#pragma once
// The system's millisecond clock and Sleep. Sleep does not hold the thread:
// it moves the clock forward at once, so a wait of many seconds costs no real
// time. Everything that waits on this clock (the shell's zip copy) sees the
// time pass all the same. Between sleeps the clock follows real time.
#include "standin/platform/WinTypes.h"

// Milliseconds since the process started, including every Sleep.
DWORD GetTickCount();
// Moves the clock forward by the given milliseconds and returns.
void Sleep(DWORD milliseconds);

namespace zem {
// Moves the clock forward as a sleep would, for tests.
void AdvanceClock(DWORD milliseconds);
}  // namespace zem
