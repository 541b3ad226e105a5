// What the way through the plug-in's command costs: the 1,000,000-triangle
// torus, open once in this process, exported by the export driver directly
// and by zem-webgl's way (the command, its dialog with the preview conduit
// counting the view, the scripted person and the message loop, then Ok),
// alternately; then the demo document's size estimate beside the size of
// its page.
// Usage: command_path_bench [runs] [folder]   (default 3 runs, folder "data")
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/ExportCommand.h"
#include "app/ExportDialogDriver.h"
#include "app/PlugInLoad.h"
#include "app/Program.h"
#include "bench/Median.h"
#include "bench/TorusModel.h"
#include "capture/ExportDriver.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "importers/ModelFile.h"
#include "standin/platform/AnswerQueue.h"
#include "standin/platform/TextEncoding.h"

namespace {

namespace fs = std::filesystem;
using zem::ExportListener;
using zem::ExportMemory;
using zem::ExportOptions;
using zem::ExportResult;
using zem::ExportStatus;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Direct(const fs::path& page, double& seconds) {
  zem::AnswerQueue& answers = zem::AnswerQueue::Instance();
  answers.Clear();
  answers.Push(zem::kSaveFileQuestion, zem::FromUtf8(page.string()));
  if (fs::exists(page)) answers.Push(zem::kMessageBoxQuestion, L"yes");
  CRhinoDoc& doc = *RhinoApp().ActiveDoc();
  ExportOptions options;
  options.title = doc.Title();
  options.author = doc.Properties().RevisionHistory().m_sCreatedBy;
  ExportMemory memory;
  const auto start = std::chrono::steady_clock::now();
  const ExportResult result = RunExport(options, memory);
  seconds = Seconds(start);
  answers.Clear();
  return result.status == ExportStatus::Written;
}

bool ThroughCommand(const fs::path& page, double& seconds) {
  zem::app::CommandLine line;
  line.command = zem::app::CommandLine::Command::Export;
  ExportListener silent;
  std::string problem;
  const auto start = std::chrono::steady_clock::now();
  const auto result = zem::app::ExportWithDialog(line, zem::FromUtf8(page.string()), silent, problem);
  seconds = Seconds(start);
  if (!result) std::fprintf(stderr, "%s\n", problem.c_str());
  return result && result->status == ExportStatus::Written;
}

// The dialog alone: shown with its preview counting the view, the options
// entered, then cancelled.
bool DialogOnly(double& seconds) {
  zem::app::CommandLine line;
  line.command = zem::app::CommandLine::Command::Export;
  const auto start = std::chrono::steady_clock::now();
  zem::app::ExportDialogDriver driver;
  const bool ok =
      driver.Open(false) && driver.Perform(zem::app::DialogActions(line, L"torus", L"")) && driver.Finish(false);
  seconds = Seconds(start);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::path("data");
  if (!zem::bench::EnsureTorus(folder) || !zem::app::EnsurePlugInLoaded(std::cerr)) return 2;
  zem::ModelReport report;
  if (!zem::OpenModelFile(zem::FromUtf8(zem::bench::TorusFile(folder).string()), report)) return 1;
  std::vector<double> direct, command, dialog;
  for (int i = 0; i < runs; ++i) {
    double d = 0, c = 0, o = 0;
    if (!Direct(folder / "direct.html", d) || !ThroughCommand(folder / "command.html", c) || !DialogOnly(o)) return 1;
    direct.push_back(d);
    command.push_back(c);
    dialog.push_back(o);
    std::printf("run %d: driver %.3f s, command path %.3f s, dialog shown and cancelled %.3f s\n", i + 1, d, c, o);
    std::fflush(stdout);
  }
  RhinoApp().CloseDocument();
  const double d = zem::bench::Median(direct), c = zem::bench::Median(command), o = zem::bench::Median(dialog);
  std::printf(
      "1,000,000 triangles, medians of %d runs: driver %.3f s, command path %.3f s: %+.3f s (%+.1f%%);\n"
      "the dialog alone (command, preview counting the view, actions, loop, Cancel): %.3f s\n",
      runs, d, c, c - d, 100 * (c - d) / d, o);

  const fs::path demo = fs::path(ZEM_SOURCE_DIR) / "assets" / "demo" / "demo.json";
  std::ostringstream estimate, wrote, err;
  if (zem::app::RunProgram({"estimate", demo.string()}, estimate, err) != 0 ||
      zem::app::RunProgram({"export", demo.string(), "-o", (folder / "demo.html").string(), "--quiet"}, wrote, err) !=
          0) {
    std::fprintf(stderr, "%s", err.str().c_str());
    return 1;
  }
  std::string label = estimate.str();
  if (!label.empty() && label.back() == '\n') label.pop_back();
  std::printf("demo document: the dialog shows \"%s\"; its page is %.2f MB (%ju bytes)\n", label.c_str(),
              fs::file_size(folder / "demo.html") / 1048576.0,
              static_cast<std::uintmax_t>(fs::file_size(folder / "demo.html")));
  return 0;
}
