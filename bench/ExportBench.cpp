// The whole program on the yard-stick model: `zem-webgl export` of the
// 1,000,000-triangle textured torus OBJ against `assimp export` of the same
// file to GLB (Debian's assimp-utils), each run as its own process, in the
// same run of this benchmark. Prints both times, their ratio and the peak
// memory of each.
// Usage: export_bench [runs] [folder]   (default 3 runs, folder "data")
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/Median.h"
#include "bench/TorusModel.h"

namespace {

namespace fs = std::filesystem;

struct Run {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time: less disturbed by other load
  double peakMb = 0;
  bool ok = false;
};

// Runs the program with its arguments, output to /dev/null; its wall time
// and peak resident memory come back.
Run Execute(const std::vector<std::string>& command) {
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
  run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                   usage.ru_stime.tv_usec / 1e6;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!run.ok) std::fprintf(stderr, "%s failed (status %d)\n", command[0].c_str(), status);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::path("data");
  const fs::path obj = folder / "torus.obj";
  const fs::path zem = fs::canonical("/proc/self/exe").parent_path().parent_path() / "app" / "zem-webgl";
  if (!zem::bench::EnsureTorus(folder)) return 2;
  std::printf("model: %s (%.1f MB)\n", obj.c_str(), fs::file_size(obj) / 1048576.0);
  std::fflush(stdout);

  std::vector<double> ours, theirs, oursCpu, theirsCpu;
  double oursPeak = 0, theirsPeak = 0;
  for (int i = 0; i < runs; ++i) {
    const Run z = Execute({zem.string(), "export", obj.string(), "-o", (folder / "torus.html").string(), "--quiet"});
    const Run a = Execute({"assimp", "export", obj.string(), (folder / "torus.glb").string()});
    if (!z.ok || !a.ok) return 1;
    ours.push_back(z.seconds);
    theirs.push_back(a.seconds);
    oursCpu.push_back(z.cpuSeconds);
    theirsCpu.push_back(a.cpuSeconds);
    oursPeak = std::max(oursPeak, z.peakMb);
    theirsPeak = std::max(theirsPeak, a.peakMb);
    std::printf("run %d: zem-webgl %.2f s (cpu %.2f s), assimp %.2f s (cpu %.2f s)\n", i + 1, z.seconds,
                z.cpuSeconds, a.seconds, a.cpuSeconds);
    std::fflush(stdout);
  }
  const double o = zem::bench::Median(ours), t = zem::bench::Median(theirs);
  std::printf("\nzem-webgl export: %.2f s (median), peak %.0f MB, page %.1f MB\n", o, oursPeak,
              fs::file_size(folder / "torus.html") / 1048576.0);
  std::printf("assimp export:    %.2f s (median), peak %.0f MB\n", t, theirsPeak);
  std::printf("ratio zem-webgl / assimp: %.2f wall, %.2f cpu (target <= 1.5; peak memory target < 1024 MB)\n",
              o / t, zem::bench::Median(oursCpu) / zem::bench::Median(theirsCpu));
  return 0;
}
