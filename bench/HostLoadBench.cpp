// Loading a large textured model into a host document, against assimp's
// own import of the same file in the same run.
//
// Generates (once) a torus of 1,000,000 triangles as OBJ with an MTL and a
// PNG texture under bench/data in the build folder, then times, each in a
// fresh child process so that peak memory is measured per run:
//   assimp   Assimp::Importer::ReadFile with the host reader's flags
//   host     zem::ReadModelFile into a CRhinoDoc (assimp plus the document)
// Usage: host_load_bench [runs] [folder]   (default 3 runs)
#include "bench/Median.h"
#include "bench/TorusModel.h"
#include "standin/host/CRhinoDoc.h"
#include "importers/MeshFileReader.h"
#include "importers/ModelFile.h"
#include "standin/platform/TextEncoding.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Run {
  double seconds = 0;
  double peakMb = 0;
  long items = 0;  // triangles seen
  bool ok = false;
};

// Runs `work` in a child; its time and peak resident memory come back.
template <class Work>
Run InChild(Work work) {
  int channel[2];
  if (pipe(channel) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    const auto start = std::chrono::steady_clock::now();
    const long items = work();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double message[2] = {seconds, static_cast<double>(items)};
    if (write(channel[1], message, sizeof message) != sizeof message) _exit(2);
    _exit(items > 0 ? 0 : 1);
  }
  close(channel[1]);
  double message[2] = {0, 0};
  const bool got = read(channel[0], message, sizeof message) == sizeof message;
  close(channel[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run run;
  run.ok = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!run.ok) {
    std::fprintf(stderr, "child: %s, status %d%s\n", got ? "answered" : "no answer",
                 WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFSIGNALED(status) ? " (killed by a signal)" : "");
  }
  run.seconds = message[0];
  run.items = static_cast<long>(message[1]);
  run.peakMb = usage.ru_maxrss / 1024.0;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::path("data");
  const fs::path obj = folder / "torus.obj";
  if (!zem::bench::EnsureTorus(folder)) return 2;
  std::printf("model: %s (%.1f MB)\n", obj.c_str(), fs::file_size(obj) / 1048576.0);
  std::fflush(stdout);

  std::vector<double> assimpTimes, hostTimes;
  double assimpPeak = 0, hostPeak = 0;
  for (int i = 0; i < runs; ++i) {
    const Run a = InChild([&] {
      Assimp::Importer importer;
      const aiScene* scene = importer.ReadFile(obj.string(), zem::MeshFileImportFlags());
      long triangles = 0;
      for (unsigned m = 0; scene && m < scene->mNumMeshes; ++m) triangles += scene->mMeshes[m]->mNumFaces;
      return triangles;
    });
    const Run h = InChild([&] {
      CRhinoDoc doc;
      zem::ModelReport report;
      if (!zem::ReadModelFile(zem::FromUtf8(obj.string()), doc, report)) return 0L;
      long triangles = 0;
      for (int k = 0; k < doc.ObjectSlotCount(); ++k) {
        ON_SimpleArray<const ON_Mesh*> meshes;
        doc.ObjectSlot(k)->GetMeshes(ON::render_mesh, meshes);
        for (const ON_Mesh* mesh : meshes) triangles += mesh->TriangleCount();
      }
      return triangles;
    });
    if (!a.ok || !h.ok) {
      std::fprintf(stderr, "run %d failed (assimp %d, host %d)\n", i + 1, a.ok, h.ok);
      return 2;
    }
    std::fflush(stdout);
    std::printf("run %d: assimp %.3f s, %ld triangles, peak %.0f MB | host %.3f s, %ld triangles, peak %.0f MB\n",
                i + 1, a.seconds, a.items, a.peakMb, h.seconds, h.items, h.peakMb);
    assimpTimes.push_back(a.seconds);
    hostTimes.push_back(h.seconds);
    assimpPeak = std::max(assimpPeak, a.peakMb);
    hostPeak = std::max(hostPeak, h.peakMb);
  }
  const double ratio = zem::bench::Median(hostTimes) / zem::bench::Median(assimpTimes);
  std::printf("median: assimp %.3f s, host %.3f s; host / assimp = %.3f (limit 1.2)\n", zem::bench::Median(assimpTimes),
              zem::bench::Median(hostTimes), ratio);
  std::printf("peak memory: assimp %.0f MB, host %.0f MB (limit 1024 MB)\n", assimpPeak, hostPeak);
  const bool pass = ratio <= 1.2 && hostPeak < 1024;
  std::printf("%s\n", pass ? "within limits" : "OVER LIMITS");
  return pass ? 0 : 1;
}
