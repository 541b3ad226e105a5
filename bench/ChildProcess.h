#pragma once
// Runs a program as a child process of a benchmark: its wall time, CPU time
// and peak resident memory.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace zem::bench {

struct Run {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time: less disturbed by other load
  double peakMb = 0;
  bool ok = false;
};

// Runs the program with its arguments, output to /dev/null; its wall time
// and peak resident memory come back.
inline Run Execute(const std::vector<std::string>& command) {
  std::fflush(nullptr);  // nothing buffered may be written twice
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    std::vector<char*> argv;
    for (const auto& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakMb = usage.ru_maxrss / 1024.0;
  run.cpuSeconds =
      usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!run.ok) std::fprintf(stderr, "%s failed (status %d)\n", command[0].c_str(), status);
  return run;
}

}  // namespace zem::bench
