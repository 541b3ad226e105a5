// Standard and compact pages of the yard-stick model: `zem-webgl export` of
// the 1,000,000-triangle textured torus with and without --compact, each
// run as its own process, interleaved; the page sizes beside assimp's GLB
// of the same model; then, when node and Chromium are there, the load event
// and the first drawn frame of both pages in headless Chromium
// (bench/page_load_bench.js).
// Usage: compact_page_bench [runs] [folder]   (default 3 runs, folder "data")
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/ChildProcess.h"
#include "bench/Median.h"
#include "bench/TorusModel.h"

namespace fs = std::filesystem;
using zem::bench::Execute;
using zem::bench::Run;

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const fs::path folder = fs::absolute(argc > 2 ? fs::path(argv[2]) : fs::path("data"));
  const fs::path build = fs::canonical("/proc/self/exe").parent_path().parent_path();
  const fs::path zem = build / "app" / "zem-webgl";
  if (!zem::bench::EnsureTorus(folder)) return 2;
  const fs::path obj = zem::bench::TorusFile(folder);
  const fs::path standard = folder / "torus.html", compact = folder / "torus-compact.html";
  std::printf("model: %s; the machine may be shared with other work: medians of %d runs\n", obj.c_str(), runs);

  std::vector<double> standardWall, compactWall, standardCpu, compactCpu, standardPeak, compactPeak;
  for (int i = 0; i < runs; ++i) {
    const Run s = Execute({zem.string(), "export", obj.string(), "-o", standard.string(), "--quiet"});
    const Run c = Execute({zem.string(), "export", obj.string(), "-o", compact.string(), "--quiet", "--compact"});
    if (!s.ok || !c.ok) return 1;
    standardWall.push_back(s.seconds), standardCpu.push_back(s.cpuSeconds), standardPeak.push_back(s.peakMb);
    compactWall.push_back(c.seconds), compactCpu.push_back(c.cpuSeconds), compactPeak.push_back(c.peakMb);
    std::printf("run %d: standard %.2f s (cpu %.2f s, %.0f MB), compact %.2f s (cpu %.2f s, %.0f MB)\n", i + 1,
                s.seconds, s.cpuSeconds, s.peakMb, c.seconds, c.cpuSeconds, c.peakMb);
    std::fflush(stdout);
  }
  using zem::bench::Median;
  const double mb = 1e6;
  std::printf("\n1,000,000 triangles (MB = 1,000,000 bytes):\n");
  std::printf("  standard page: %.1f MB, export %.2f s wall, %.2f s cpu, peak %.0f MB\n", fs::file_size(standard) / mb,
              Median(standardWall), Median(standardCpu), Median(standardPeak));
  std::printf("  compact page:  %.1f MB, export %.2f s wall, %.2f s cpu, peak %.0f MB (target <= 30 MB)\n",
              fs::file_size(compact) / mb, Median(compactWall), Median(compactCpu), Median(compactPeak));
  const fs::path glb = folder / "torus.glb";
  if (Execute({"assimp", "export", obj.string(), glb.string()}).ok)
    std::printf("  assimp's GLB of the same model: %.1f MB\n", fs::file_size(glb) / mb);
  std::fflush(stdout);

  // The browser half: node with playwright-core from the source tree.
  const fs::path script = fs::path(ZEM_SOURCE_DIR) / "bench" / "page_load_bench.js";
  const std::string command = "node '" + script.string() + "' " + std::to_string(runs) + " '" + standard.string() +
                              "' '" + compact.string() + "'";
  std::printf("\nheadless Chromium (target: compact load event and first frame <= 2 s):\n");
  std::fflush(stdout);
  if (std::system(command.c_str()) != 0) {
    std::printf("  (the browser half did not run: needs node, npm ci and Chromium)\n");
    return 1;
  }
  return 0;
}
