#include "standin/platform/Clock.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace {

using SteadyClock = std::chrono::steady_clock;

const SteadyClock::time_point& Start() {
  static const SteadyClock::time_point start = SteadyClock::now();
  return start;
}

std::atomic<std::uint64_t>& Skipped() {
  static std::atomic<std::uint64_t> skipped{0};
  return skipped;
}

}  // namespace

DWORD GetTickCount() {
  const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - Start()).count();
  // Wraps around after 49.7 days, as the Windows count does.
  return static_cast<DWORD>(static_cast<std::uint64_t>(real) + Skipped().load());
}

void Sleep(DWORD milliseconds) { zem::AdvanceClock(milliseconds); }

void zem::AdvanceClock(DWORD milliseconds) {
  Start();
  Skipped() += milliseconds;
}
