// Standard and compact pages of the yard-stick model: `zem-webgl export` of
// the 1,000,000-triangle textured torus with and without --compact, each
// run as its own process, interleaved; the page sizes beside gltfpack's GLB
// of the same OBJ at our bounds' precision (gltfpack from npm, run in the
// same benchmark) and its size as base64; then, when node and Chromium are
// there, the load event and the first drawn frame of both pages in headless
// Chromium (bench/page_load_bench.js); last the 4,000,000-triangle torus's
// compact page, its size and its opening in Chromium and Firefox.
// Usage: compact_page_bench [runs] [folder]   (default 3 runs, folder "data")
// Sizes in MB of 2^20 bytes, as the export dialog's estimate counts them.
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

namespace {

constexpr double kMb = 1024.0 * 1024.0;

double Megabytes(const fs::path& file) { return static_cast<double>(fs::file_size(file)) / kMb; }
double Base64Megabytes(const fs::path& file) { return static_cast<double>((fs::file_size(file) + 2) / 3 * 4) / kMb; }

// Runs bench/page_load_bench.js with the given arguments; false when it
// could not run or a page did not open.
bool PageLoad(const std::string& arguments) {
  const fs::path script = fs::path(ZEM_SOURCE_DIR) / "bench" / "page_load_bench.js";
  std::fflush(stdout);
  return std::system(("node '" + script.string() + "' " + arguments).c_str()) == 0;
}

}  // namespace

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
  std::printf("\n1,000,000 triangles (MB = 2^20 bytes):\n");
  std::printf("  standard page: %.2f MB, export %.2f s wall, %.2f s cpu, peak %.0f MB\n", Megabytes(standard),
              Median(standardWall), Median(standardCpu), Median(standardPeak));
  std::printf("  compact page:  %.2f MB, export %.2f s wall, %.2f s cpu, peak %.0f MB (target <= 7.0 MB)\n",
              Megabytes(compact), Median(compactWall), Median(compactCpu), Median(compactPeak));

  // gltfpack with meshoptimizer's codecs at the precision of our bounds:
  // 16-bit positions and texture coordinates, 10-bit normals.
  const fs::path gltfpack = fs::path(ZEM_SOURCE_DIR) / "node_modules" / "gltfpack" / "cli.js";
  const fs::path glb = folder / "torus-gltfpack.glb";
  const Run g = Execute({"node", gltfpack.string(), "-i", obj.string(), "-o", glb.string(), "-cc", "-vp", "16", "-vn",
                         "10", "-vt", "16"});
  if (g.ok && fs::exists(glb)) {
    std::printf(
        "  gltfpack -cc -vp 16 -vn 10 -vt 16: %.2f MB, as base64 %.2f MB (%.2f s); the compact page is "
        "%.3f times that (target <= 1.15)\n",
        Megabytes(glb), Base64Megabytes(glb), g.seconds, Megabytes(compact) / Base64Megabytes(glb));
  } else {
    std::printf("  (gltfpack did not run: needs node and npm ci)\n");
  }
  std::fflush(stdout);

  std::printf("\nheadless Chromium (target: compact load event and first frame <= 1.0 s):\n");
  bool ok = PageLoad(std::to_string(runs) + " '" + standard.string() + "' '" + compact.string() + "'");
  if (!ok) std::printf("  (the browser half did not run: needs node, npm ci and Chromium)\n");

  // Four times the triangles: the compact page only.
  if (!zem::bench::EnsureTorus(folder, 2)) return 2;
  const fs::path big = folder / "torus-4x-compact.html";
  const Run b = Execute(
      {zem.string(), "export", zem::bench::TorusFile(folder, 2).string(), "-o", big.string(), "--quiet", "--compact"});
  if (!b.ok) return 1;
  std::printf("\n4,000,000 triangles: compact page %.2f MB (target <= 25 MB), export %.2f s wall, peak %.0f MB\n",
              Megabytes(big), b.seconds, b.peakMb);
  std::printf("opened in Chromium and Firefox:\n");
  if (!PageLoad("--firefox 1 '" + big.string() + "'")) {
    std::printf("  (the page did not open in both browsers)\n");
    ok = false;
  }
  return ok ? 0 : 1;
}
