#include "standin/platform/MessageLoop.h"

#include <algorithm>
#include <deque>
#include <map>
#include <vector>

#include "standin/platform/Clock.h"
#include "standin/platform/ScriptedPerson.h"

namespace {

struct Timer {
  DWORD period = 0;
  DWORD due = 0;  // clock value at which the next tick is due
  TIMERPROC proc = nullptr;
  unsigned long long serial = 0;  // changes with every SetTimer
};

struct LoopState {
  std::deque<MSG> posted;
  std::map<std::pair<HWND, UINT_PTR>, Timer> timers;
  unsigned long long timerSerial = 0;
  UINT_PTR nextThreadTimerId = 0x7000;
  std::map<int, std::function<void()>> idle;
  int nextIdleId = 1;
  zem::MessageFilter filter;
};

// Lives for the whole process, as the window registry does.
LoopState& State() {
  static auto* state = new LoopState;
  return *state;
}

// Clock values wrap; a difference read as signed tells which comes first.
bool Reached(DWORD now, DWORD due) { return static_cast<std::int32_t>(now - due) >= 0; }

void ForgetDeadTimers() {
  auto& timers = State().timers;
  for (auto it = timers.begin(); it != timers.end();)
    it = it->first.first && !IsWindow(it->first.first) ? timers.erase(it) : std::next(it);
}

bool DeliverPosted() {
  // Only what was posted before this pass; messages posted by handlers wait
  // for the next one.
  std::deque<MSG> batch;
  batch.swap(State().posted);
  bool any = false;
  for (MSG& message : batch) {
    if (!IsWindow(message.hwnd)) continue;  // died with its window
    zem::DispatchThroughFilter(message);
    any = true;
  }
  return any;
}

bool DeliverDueTimers() {
  ForgetDeadTimers();
  const DWORD now = GetTickCount();
  std::vector<std::pair<std::pair<HWND, UINT_PTR>, unsigned long long>> due;
  for (auto& [key, timer] : State().timers)
    if (Reached(now, timer.due)) due.emplace_back(key, timer.serial);
  for (auto& [key, serial] : due) {
    // A handler before this one may have killed or restarted the timer, or
    // destroyed its window: then this tick is gone.
    auto it = State().timers.find(key);
    if (it == State().timers.end() || it->second.serial != serial) continue;
    if (key.first && !IsWindow(key.first)) continue;
    it->second.due = GetTickCount() + it->second.period;
    if (TIMERPROC proc = it->second.proc) {
      proc(key.first, WM_TIMER, key.second, GetTickCount());
    } else {
      MSG message{key.first, WM_TIMER, key.second, 0, GetTickCount()};
      zem::DispatchThroughFilter(message);
    }
  }
  return !due.empty();
}

void RunIdleHandlers() {
  // A copy: handlers may add or remove handlers.
  auto handlers = State().idle;
  for (auto& [id, handler] : handlers)
    if (State().idle.count(id)) handler();
}

// The clock value of the earliest timer, if any.
bool NextTimerDue(DWORD now, DWORD& due) {
  bool found = false;
  for (auto& [key, timer] : State().timers) {
    const DWORD wait = static_cast<std::int32_t>(timer.due - now) > 0 ? timer.due - now : 0;
    if (!found || wait < due - now) {
      due = now + wait;
      found = true;
    }
  }
  return found;
}

}  // namespace

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(window)) return FALSE;
  State().posted.push_back(MSG{window, message, wParam, lParam, GetTickCount()});
  return TRUE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (window && !IsWindow(window)) return 0;
  auto& state = State();
  if (!window) id = state.nextThreadTimerId++;
  Timer& timer = state.timers[{window, id}];
  timer.period = std::max<UINT>(elapse, 10);
  timer.due = GetTickCount() + timer.period;
  timer.proc = proc;
  timer.serial = ++state.timerSerial;
  return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) { return State().timers.erase({window, id}) ? TRUE : FALSE; }

int zem::AddIdleHandler(std::function<void()> handler) {
  const int id = State().nextIdleId++;
  State().idle.emplace(id, std::move(handler));
  return id;
}

void zem::RemoveIdleHandler(int id) { State().idle.erase(id); }

void zem::SetMessageFilter(MessageFilter filter) { State().filter = std::move(filter); }

void zem::DispatchThroughFilter(MSG& message) {
  if (MessageFilter filter = State().filter; filter && filter(message)) return;
  SendMessageW(message.hwnd, message.message, message.wParam, message.lParam);
}

bool zem::RunMessageLoop(const std::function<bool()>& done, DWORD limit) {
  const DWORD start = GetTickCount();
  while (!done()) {
    const DWORD now = GetTickCount();
    if (now - start >= limit) return false;
    bool worked = DeliverPosted();
    RunIdleHandlers();
    worked = DeliverDueTimers() || worked;
    worked = zem::PersonStep() || worked;
    if (done()) return true;
    if (worked || !State().posted.empty()) continue;
    // Nothing happened: skip the clock to the next timer, or to the limit.
    ForgetDeadTimers();
    const DWORD later = GetTickCount();
    DWORD due = 0;
    const DWORD end = start + limit;
    const DWORD target = NextTimerDue(later, due) && static_cast<std::int32_t>(end - due) > 0 ? due : end;
    if (static_cast<std::int32_t>(target - later) > 0) zem::AdvanceClock(target - later);
  }
  return true;
}

int zem::TimerCount() {
  ForgetDeadTimers();
  return static_cast<int>(State().timers.size());
}
