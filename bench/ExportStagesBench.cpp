// Where the time of the yard-stick export goes: the 1,000,000-triangle
// torus read and written in this process, stage by stage, the way the
// program did it before (assimp's OBJ import, one thread) and the way it
// does it now (our OBJ reader, every core). Both write the same page.
// Usage: export_stages_bench [runs] [folder]   (default 3 runs, folder "data")
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/Median.h"
#include "bench/TorusModel.h"
#include "capture/ExportDriver.h"
#include "capture/ParallelFor.h"
#include "standin/host/CRhinoApp.h"
#include "importers/MeshFileReader.h"
#include "standin/platform/AnswerQueue.h"
#include "standin/platform/TextEncoding.h"

namespace {

namespace fs = std::filesystem;

struct Stages {
  std::vector<double> read, prepare, preview, scene, finish, total;
};

bool Measure(const fs::path& obj, const fs::path& page, bool ourReader, int threads, Stages& out) {
  const std::wstring model = zem::FromUtf8(obj.string());
  zem::ModelReport report;
  const auto start = std::chrono::steady_clock::now();
  const bool opened = RhinoApp().OpenDocument(model.c_str(), [&](CRhinoDoc& doc) {
    return ourReader ? zem::ReadMeshFile(model, doc, report) : zem::ReadMeshFileWithAssimp(model, doc, report);
  });
  const double read = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!opened) {
    std::fprintf(stderr, "cannot read %s: %s\n", obj.c_str(), zem::ToUtf8(report.error).c_str());
    return false;
  }
  zem::AnswerQueue& answers = zem::AnswerQueue::Instance();
  answers.Clear();
  answers.Push(zem::kSaveFileQuestion, zem::FromUtf8(page.string()));
  if (fs::exists(page)) answers.Push(zem::kMessageBoxQuestion, L"yes");
  zem::ExportOptions options;
  options.threads = threads;
  zem::ExportMemory memory;
  zem::ExportStageTimes times;
  zem::ExportHooks hooks;
  hooks.times = &times;
  const zem::ExportResult result = RunExport(options, memory, hooks);
  const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  answers.Clear();
  RhinoApp().CloseDocument();
  if (result.status != zem::ExportStatus::Written) {
    std::fprintf(stderr, "the export failed\n");
    return false;
  }
  out.read.push_back(read);
  out.prepare.push_back(times.prepare);
  out.preview.push_back(times.preview);
  out.scene.push_back(times.scene);
  out.finish.push_back(times.finish);
  out.total.push_back(total);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::path("data");
  if (!zem::bench::EnsureTorus(folder)) return 2;
  const int cores = zem::ThreadsFor(0);
  Stages before, after;
  for (int i = 0; i < runs; ++i) {
    if (!Measure(zem::bench::TorusFile(folder), folder / "stages.html", false, 1, before)) return 1;
    if (!Measure(zem::bench::TorusFile(folder), folder / "stages.html", true, cores, after)) return 1;
  }
  using zem::bench::Median;
  std::printf("1,000,000-triangle torus, seconds (wall, medians of %d runs; the machine may be shared):\n", runs);
  std::printf("%-34s %8s %8s\n", "stage", "before", "after");
  auto row = [](const char* name, const std::vector<double>& b, const std::vector<double>& a) {
    std::printf("%-34s %8.3f %8.3f\n", name, Median(b), Median(a));
  };
  row("read the model", before.read, after.read);
  row("prepare materials and textures", before.prepare, after.prepare);
  row("preview picture", before.preview, after.preview);
  row("format and write the scene", before.scene, after.scene);
  row("finish (body, close)", before.finish, after.finish);
  row("total", before.total, after.total);
  std::printf(
      "before: assimp's OBJ import, 1 thread; after: our OBJ reader, %d threads (the preview alongside the "
      "scene)\n",
      cores);
  return 0;
}
