// A STEP model through zem-webgl against Open CASCADE alone: `zem-webgl
// export` (child process, hand-off, host objects, page) beside reading and
// meshing the same file with Open CASCADE at the same deflection, in one run;
// the meshing's CPU time against its wall time (both cores); and what the
// hand-off between the reader's child and the program costs.
// Run: build/bench/cad_import_bench [MODEL.step] [runs]
// Without a model it writes build/bench/data/cad-parts.step (a few MB of
// distinct parts) and uses that.
#include "bench/ChildProcess.h"
#include "bench/Median.h"
#include "standin/host/CRhinoDoc.h"
#include "importers/cad/CadDocument.h"
#include "importers/cad/CadScene.h"
#include "importers/cad/OcctImport.h"

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBndLib.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Builder.hxx>
#include <Bnd_Box.hxx>
#include <IMeshTools_Parameters.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDocStd_Document.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// Distinct parts (each its own size), so that nothing is meshed for two.
void WriteParts(const fs::path& file) {
  Handle(TDocStd_Document) doc;
  XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc);
  auto shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
  auto colours = XCAFDoc_DocumentTool::ColorTool(doc->Main());
  for (int i = 0; i < 160; ++i) {
    const double x = (i % 16) * 30.0, y = (i / 16) * 30.0, size = 12 + (i % 7);
    const TopoDS_Shape box = BRepPrimAPI_MakeBox(gp_Pnt(x, y, 0), size, size + 3, size / 2 + (i % 5)).Shape();
    TopoDS_Shape part = box;
    for (int h = 0; h < 3; ++h) {
      const gp_Ax2 axis(gp_Pnt(x + 3 + h * 3.5, y + 4 + (i % 3), -1), gp::DZ());
      part = BRepAlgoAPI_Cut(part, BRepPrimAPI_MakeCylinder(axis, 1 + 0.1 * (i % 4), 40).Shape()).Shape();
    }
    const TDF_Label label = shapes->AddShape(part, false);
    TDataStd_Name::Set(label, ("Part " + std::to_string(i + 1)).c_str());
    colours->SetColor(label, Quantity_Color((i % 5) / 5.0, 0.4, 0.7, Quantity_TOC_sRGB), XCAFDoc_ColorSurf);
  }
  STEPCAFControl_Writer writer;
  writer.Transfer(doc, STEPControl_AsIs);
  fs::create_directories(file.parent_path());
  writer.Write(file.string().c_str());
}

struct Alone {
  double read = 0, meshWall = 0, meshCpu = 0;
  long long triangles = 0;
};

// Open CASCADE alone, as the reader's child uses it: read through XCAF with
// the same settings, mesh the whole model at the same deflection.
Alone OpenCascadeAlone(const fs::path& file) {
  Alone alone;
  const auto start = Clock::now();
  Handle(TDocStd_Document) doc;
  XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc);
  STEPCAFControl_Reader reader;
  zem::cad::ConfigureStepReader(reader);
  if (reader.ReadFile(file.string().c_str()) != IFSelect_RetDone || !reader.Transfer(doc)) std::exit(1);
  TDF_LabelSequence roots;
  XCAFDoc_DocumentTool::ShapeTool(doc->Main())->GetFreeShapes(roots);
  TopoDS_Compound shape;
  BRep_Builder builder;
  builder.MakeCompound(shape);
  for (const TDF_Label& root : roots) builder.Add(shape, XCAFDoc_ShapeTool::GetShape(root));
  alone.read = Seconds(start);
  Bnd_Box box;
  BRepBndLib::Add(shape, box);
  IMeshTools_Parameters parameters;
  parameters.Deflection = std::sqrt(box.SquareExtent()) * zem::cad::RelativeDeflection(zem::cad::MeshQuality::Normal);
  parameters.Angle = zem::cad::AngularDeflection(zem::cad::MeshQuality::Normal);
  parameters.InParallel = Standard_True;
  const auto meshStart = Clock::now();
  const double cpu = CpuSeconds();
  BRepMesh_IncrementalMesh mesher(shape, parameters);
  alone.meshWall = Seconds(meshStart);
  alone.meshCpu = CpuSeconds() - cpu;
  return alone;
}

// Open CASCADE alone in a child process of its own (as the export runs in
// one); its stage times come back through a pipe.
zem::bench::Run RunAlone(const fs::path& file, Alone& stages) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(1);
  std::fflush(nullptr);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const Alone alone = OpenCascadeAlone(file);
    if (write(fds[1], &alone, sizeof alone) != static_cast<ssize_t>(sizeof alone)) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  if (read(fds[0], &stages, sizeof stages) != static_cast<ssize_t>(sizeof stages)) stages = Alone();
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  zem::bench::Run run;
  run.seconds = Seconds(start);
  run.cpuSeconds =
      usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  run.peakMb = usage.ru_maxrss / 1024.0;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path self = fs::canonical("/proc/self/exe").parent_path();
  fs::path model = self / "data" / "cad-parts.step";
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.find_first_not_of("0123456789") == std::string::npos)
      runs = std::max(1, std::atoi(arg.c_str()));
    else
      model = arg;
  }
  if (!fs::exists(model)) {
    std::printf("writing %s\n", model.c_str());
    WriteParts(model);
  }
  const fs::path zem = self.parent_path() / "app" / "zem-webgl";
  const fs::path page = fs::temp_directory_path() / ("cad-bench-" + std::to_string(getpid()) + ".html");
  std::printf("%s: %.2f MB of STEP\n", model.c_str(), fs::file_size(model) / 1048576.0);

  std::vector<double> exports, alones, exportCpus, aloneCpus, meshWalls, meshCpus;
  for (int i = 0; i < runs; ++i) {
    Alone stages;
    const zem::bench::Run alone = RunAlone(model, stages);
    const zem::bench::Run run =
        zem::bench::Execute({zem.string(), "export", model.string(), "-o", page.string(), "--quiet"});
    if (!alone.ok || !run.ok) return 1;
    std::printf(
        "run %d: zem-webgl export %.2f s (cpu %.2f s, %.0f MB); Open CASCADE alone %.2f s (cpu %.2f s, %.0f MB: "
        "read %.2f s, mesh %.2f s wall, %.2f s cpu)\n",
        i + 1, run.seconds, run.cpuSeconds, run.peakMb, alone.seconds, alone.cpuSeconds, alone.peakMb, stages.read,
        stages.meshWall, stages.meshCpu);
    exports.push_back(run.seconds), exportCpus.push_back(run.cpuSeconds);
    alones.push_back(alone.seconds), aloneCpus.push_back(alone.cpuSeconds);
    meshWalls.push_back(stages.meshWall), meshCpus.push_back(stages.meshCpu);
  }
  const double e = zem::bench::Median(exports), a = zem::bench::Median(alones);
  std::printf("median: export %.2f s, Open CASCADE alone %.2f s: ratio %.2f (cpu %.2f s vs %.2f s)\n", e, a, e / a,
              zem::bench::Median(exportCpus), zem::bench::Median(aloneCpus));
  std::printf("meshing: %.2f s wall, %.2f s cpu (%.2f cores busy)\n", zem::bench::Median(meshWalls),
              zem::bench::Median(meshCpus), zem::bench::Median(meshCpus) / zem::bench::Median(meshWalls));
  fs::remove(page);

  // The hand-off: what the child adds to write the scene and the program to
  // read it back, against the import itself.
  zem::cad::CadScene scene;
  std::string error;
  auto start = Clock::now();
  if (!zem::cad::ImportWithOpenCascade(model.string(), zem::cad::MeshQuality::Normal, nullptr, scene, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const double import = Seconds(start);
  start = Clock::now();
  std::string bytes = zem::cad::EncodeCadScene(scene);
  const fs::path handoff = fs::temp_directory_path() / ("cad-bench-" + std::to_string(getpid()) + ".bin");
  std::ofstream(handoff, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const double encode = Seconds(start);
  start = Clock::now();
  std::ifstream in(handoff, std::ios::binary);
  std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  zem::cad::CadScene decoded;
  if (!zem::cad::DecodeCadScene(back, decoded, error)) return 1;
  const double decode = Seconds(start);
  fs::remove(handoff);
  start = Clock::now();
  CRhinoDoc doc;
  zem::ModelReport report;
  zem::cad::BuildCadDocument(decoded, L"bench", doc, report);
  const double build = Seconds(start);
  std::printf("hand-off: %.1f MB; write %.3f s + read %.3f s = %.1f%% of the import (%.2f s); host objects %.3f s\n",
              bytes.size() / 1048576.0, encode, decode, 100 * (encode + decode) / import, import, build);
  return 0;
}
