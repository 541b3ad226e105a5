#pragma once
// Runs work(i) for every i in [0, count) on up to `threads` threads (the
// caller's own among them) and returns when all are done; no thread lives
// past the call. An exception thrown by any work item is thrown again here,
// once every thread has stopped.
#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace zem {

// The thread count a setting of 0 stands for: the machine's cores.
inline int ThreadsFor(int setting) {
  if (setting > 0) return setting;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

template <typename Work>
void ParallelFor(int threads, int count, Work&& work) {
  if (count <= 0) return;
  threads = std::clamp(threads, 1, count);
  if (threads == 1) {
    for (int i = 0; i < count; ++i) work(i);
    return;
  }
  std::atomic<int> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto run = [&] {
    try {
      for (int i; (i = next.fetch_add(1)) < count;) work(i);
    } catch (...) {
      next = count;  // the others stop at their next item
      std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::jthread> helpers;
  helpers.reserve(static_cast<std::size_t>(threads - 1));
  for (int t = 1; t < threads; ++t) helpers.emplace_back(run);
  run();
  helpers.clear();  // joins
  if (failure) std::rethrow_exception(failure);
}

}  // namespace zem
