// The whole program on the yard-stick model: `zem-webgl export` of the
// 1,000,000-triangle textured torus OBJ (a standard page) against `assimp
// export` of the same file to GLB (Debian's assimp-utils), as interleaved
// pairs of whole processes: ours, then assimp's, N times. Prints every pair
// (wall and CPU time, peak memory, the ratios), then the median, least and
// greatest ratio and the greatest peak, with the load average before and
// after, since other work on the machine slows both sides unequally. Then
// how time and memory grow on the 4,000,000-triangle torus.
// Usage: export_bench [pairs] [folder] [--no-big] [--program ZEM-WEBGL]
//   (default 5 pairs, folder "data", the zem-webgl of this build; another
//   build's program measures the same way, for a before and after)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/ChildProcess.h"
#include "bench/Median.h"
#include "bench/TorusModel.h"

namespace {

namespace fs = std::filesystem;
using zem::bench::Execute;
using zem::bench::Run;

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

struct Spread {
  double median = 0, least = 0, greatest = 0;
};

Spread SpreadOf(const std::vector<double>& values) {
  const auto [least, greatest] = std::minmax_element(values.begin(), values.end());
  return {zem::bench::Median(values), *least, *greatest};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool big = std::find(args.begin(), args.end(), "--no-big") == args.end();
  std::erase(args, "--no-big");
  fs::path zem = fs::canonical("/proc/self/exe").parent_path().parent_path() / "app" / "zem-webgl";
  if (const auto it = std::find(args.begin(), args.end(), "--program"); it != args.end() && it + 1 != args.end()) {
    zem = fs::absolute(*(it + 1));
    args.erase(it, it + 2);
  }
  const int pairs = !args.empty() ? std::max(1, std::atoi(args[0].c_str())) : 5;
  const fs::path folder = args.size() > 1 ? fs::path(args[1]) : fs::path("data");
  if (!zem::bench::EnsureTorus(folder) || (big && !zem::bench::EnsureTorus(folder, 2))) return 2;
  const fs::path obj = zem::bench::TorusFile(folder), page = folder / "torus.html";
  std::printf("model: %s (%.1f MB), %d interleaved pairs of %s and assimp; load average %s\n", obj.c_str(),
              fs::file_size(obj) / 1048576.0, pairs, zem.c_str(), LoadAverage().c_str());
  std::fflush(stdout);

  std::vector<double> wallRatios, cpuRatios, ourPeaks, ourWall, ourCpu;
  for (int i = 0; i < pairs; ++i) {
    const Run z = Execute({zem.string(), "export", obj.string(), "-o", page.string(), "--quiet"});
    const Run a = Execute({"assimp", "export", obj.string(), (folder / "torus.glb").string()});
    if (!z.ok || !a.ok) return 1;
    wallRatios.push_back(z.seconds / a.seconds);
    cpuRatios.push_back(z.cpuSeconds / a.cpuSeconds);
    ourPeaks.push_back(z.peakMb);
    ourWall.push_back(z.seconds);
    ourCpu.push_back(z.cpuSeconds);
    std::printf(
        "pair %d: zem-webgl %.3f s (cpu %.3f s, %.0f MB), assimp %.3f s (cpu %.3f s, %.0f MB); ratio %.3f wall, "
        "%.3f cpu\n",
        i + 1, z.seconds, z.cpuSeconds, z.peakMb, a.seconds, a.cpuSeconds, a.peakMb, wallRatios.back(),
        cpuRatios.back());
    std::fflush(stdout);
  }
  const Spread wall = SpreadOf(wallRatios), cpu = SpreadOf(cpuRatios), peak = SpreadOf(ourPeaks);
  std::printf("\n1,000,000 triangles, zem-webgl / assimp over %d pairs (load average now %s):\n", pairs,
              LoadAverage().c_str());
  std::printf("  wall ratio: median %.3f, least %.3f, greatest %.3f (target <= 0.45)\n", wall.median, wall.least,
              wall.greatest);
  std::printf("  cpu ratio:  median %.3f, least %.3f, greatest %.3f (target <= 0.6)\n", cpu.median, cpu.least,
              cpu.greatest);
  std::printf("  zem-webgl peak memory: median %.0f MB, greatest %.0f MB (target <= 200 MB); page %.1f MB\n",
              peak.median, peak.greatest, fs::file_size(page) / 1048576.0);
  if (!big) return 0;

  std::vector<double> bigWall, bigCpu, bigPeaks;
  const fs::path bigObj = zem::bench::TorusFile(folder, 2);
  for (int i = 0; i < pairs; ++i) {
    const Run z =
        Execute({zem.string(), "export", bigObj.string(), "-o", (folder / "torus-big.html").string(), "--quiet"});
    if (!z.ok) return 1;
    bigWall.push_back(z.seconds), bigCpu.push_back(z.cpuSeconds), bigPeaks.push_back(z.peakMb);
    std::printf("run %d, 4,000,000 triangles: zem-webgl %.3f s (cpu %.3f s, %.0f MB)\n", i + 1, z.seconds, z.cpuSeconds,
                z.peakMb);
    std::fflush(stdout);
  }
  using zem::bench::Median;
  std::printf(
      "growth from 1M to 4M triangles (medians; 4.00 would be in proportion): time %.2f wall, %.2f cpu "
      "(target <= 4.2); peak memory %.2f (target <= 3)\n",
      Median(bigWall) / Median(ourWall), Median(bigCpu) / Median(ourCpu), Median(bigPeaks) / Median(ourPeaks));
  return 0;
}
