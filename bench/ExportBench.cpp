// The whole program on the yard-stick model: `zem-webgl export` of the
// 1,000,000-triangle textured torus OBJ against `assimp export` of the same
// file to GLB (Debian's assimp-utils), each run as its own process, in the
// same run of this benchmark. Prints both times, their ratio and the peak
// memory of each, then how time and memory grow on the 4,000,000-triangle
// torus.
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

#include "bench/ChildProcess.h"
#include "bench/Median.h"
#include "bench/TorusModel.h"

namespace {

namespace fs = std::filesystem;
using zem::bench::Execute;
using zem::bench::Run;

struct Measured {
  double seconds = 0, cpuSeconds = 0, peakMb = 0;  // medians of the runs
};

Measured Medians(const std::vector<Run>& runs) {
  std::vector<double> wall, cpu, peak;
  for (const Run& r : runs) wall.push_back(r.seconds), cpu.push_back(r.cpuSeconds), peak.push_back(r.peakMb);
  return {zem::bench::Median(wall), zem::bench::Median(cpu), zem::bench::Median(peak)};
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::path("data");
  const fs::path zem = fs::canonical("/proc/self/exe").parent_path().parent_path() / "app" / "zem-webgl";
  if (!zem::bench::EnsureTorus(folder) || !zem::bench::EnsureTorus(folder, 2)) return 2;
  const fs::path obj = zem::bench::TorusFile(folder), big = zem::bench::TorusFile(folder, 2);
  const fs::path page = folder / "torus.html";
  std::printf("model: %s (%.1f MB); the machine may be shared with other work: medians of %d runs\n", obj.c_str(),
              fs::file_size(obj) / 1048576.0, runs);
  std::fflush(stdout);

  std::vector<Run> ours, theirs, oursBig;
  for (int i = 0; i < runs; ++i) {
    const Run z = Execute({zem.string(), "export", obj.string(), "-o", page.string(), "--quiet"});
    const Run a = Execute({"assimp", "export", obj.string(), (folder / "torus.glb").string()});
    if (!z.ok || !a.ok) return 1;
    ours.push_back(z);
    theirs.push_back(a);
    std::printf("run %d: zem-webgl %.2f s (cpu %.2f s, %.0f MB), assimp %.2f s (cpu %.2f s, %.0f MB)\n", i + 1,
                z.seconds, z.cpuSeconds, z.peakMb, a.seconds, a.cpuSeconds, a.peakMb);
    std::fflush(stdout);
  }
  const double pageMb = fs::file_size(page) / 1048576.0;
  for (int i = 0; i < runs; ++i) {
    const Run z =
        Execute({zem.string(), "export", big.string(), "-o", (folder / "torus-big.html").string(), "--quiet"});
    if (!z.ok) return 1;
    oursBig.push_back(z);
    std::printf("run %d, 4,000,000 triangles: zem-webgl %.2f s (cpu %.2f s, %.0f MB)\n", i + 1, z.seconds, z.cpuSeconds,
                z.peakMb);
    std::fflush(stdout);
  }
  const Measured o = Medians(ours), t = Medians(theirs), b = Medians(oursBig);
  std::printf("\n1,000,000 triangles:\n");
  std::printf("  zem-webgl export: %.2f s wall, %.2f s cpu, peak %.0f MB, page %.1f MB\n", o.seconds, o.cpuSeconds,
              o.peakMb, pageMb);
  std::printf("  assimp export:    %.2f s wall, %.2f s cpu, peak %.0f MB\n", t.seconds, t.cpuSeconds, t.peakMb);
  std::printf("  ratio zem-webgl / assimp: %.2f wall, %.2f cpu (target <= 0.5 wall; peak target <= 200 MB)\n",
              o.seconds / t.seconds, o.cpuSeconds / t.cpuSeconds);
  std::printf("4,000,000 triangles: zem-webgl %.2f s wall, %.2f s cpu, peak %.0f MB, page %.1f MB\n", b.seconds,
              b.cpuSeconds, b.peakMb, fs::file_size(folder / "torus-big.html") / 1048576.0);
  std::printf(
      "growth from 1M to 4M triangles (4.00 would be in proportion): time %.2f wall, %.2f cpu; peak memory %.2f\n",
      b.seconds / o.seconds, b.cpuSeconds / o.cpuSeconds, b.peakMb / o.peakMb);
  return 0;
}
