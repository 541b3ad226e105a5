#include "importers/cad/CadReader.h"

#include "standin/host/CRhinoDoc.h"
#include "importers/ChildProcess.h"
#include "importers/cad/CadDocument.h"
#include "importers/cad/CadScene.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

#include <signal.h>
#include <unistd.h>

#include <malloc.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace zem::cad {

namespace {

namespace fs = std::filesystem;

// The child's exit code when it ran out of memory.
constexpr int kOutOfMemory = 3;

CadReadOptions& Options() {
  static CadReadOptions options;
  return options;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

const char* QualityName(MeshQuality quality) {
  switch (quality) {
    case MeshQuality::Coarse:
      return "coarse";
    case MeshQuality::Fine:
      return "fine";
    case MeshQuality::Normal:
      break;
  }
  return "normal";
}

class ProgressLine {
 public:
  ProgressLine(bool show, std::string name) : m_show(show), m_name(std::move(name)) {}
  ~ProgressLine() { Clear(); }
  void Show(const std::string& stage, int percent, double seconds) {
    // Quick files show nothing.
    if (!m_show || seconds < 1.0) return;
    char text[160];
    if (percent >= 0)
      std::snprintf(text, sizeof text, "\r%s: %s %3d%% (%.0f s)", m_name.c_str(), stage.c_str(), percent, seconds);
    else
      std::snprintf(text, sizeof text, "\r%s: %s (%.0f s)", m_name.c_str(), stage.c_str(), seconds);
    std::string line = text;
    if (line.size() > 79) line.resize(79);
    if (line.size() < m_width) line.append(m_width - line.size(), ' ');
    m_width = line.size();
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
  }
  void Clear() {
    if (m_width == 0) return;
    std::fprintf(stderr, "\r%s\r", std::string(m_width, ' ').c_str());
    std::fflush(stderr);
    m_width = 0;
  }

 private:
  bool m_show;
  std::string m_name;
  std::size_t m_width = 0;
};

}  // namespace

bool IsCadFile(const std::wstring& path) {
  const std::string ext = Lower(fs::path(NativePath(path)).extension().string());
  return ext == ".step" || ext == ".stp" || ext == ".iges" || ext == ".igs";
}

void SetCadReadOptions(const CadReadOptions& options) { Options() = options; }
const CadReadOptions& CadReadOptionsInUse() { return Options(); }

bool ReadCadModelFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  return ReadCadFile(path, doc, report, Options());
}

namespace {

// Runs the child on `input` (`mode` "model" or "faces") and reads its scene
// back; false with the reason in `error`.
bool RunReaderChild(const std::string& input, const char* mode, const std::string& reader, const std::string& shown,
                    const CadReadOptions& options, CadScene& scene, std::string& error) {
  auto fail = [&](const std::string& why) {
    error = why;
    return false;
  };
  std::error_code ec;
  std::string program = options.program;
  if (program.empty()) program = (fs::read_symlink("/proc/self/exe", ec).parent_path() / kCadReaderProgram).string();
  const std::vector<std::string> args{program,
                                      kCadReaderCommand,
                                      input,
                                      QualityName(options.quality),
                                      std::to_string(options.memoryLimitMb),
                                      std::to_string(::getpid()),
                                      mode};
  // The child limits its own address space (the address sanitizer, when
  // the program has it, needs more than any limit) and goes with the program.
  ChildLimits limits;
  limits.seconds = options.timeLimitSeconds;
  limits.megabytes = 0;
  ProgressLine line(options.showProgress, shown);
  const ChildResult run = RunChild(
      args, limits, [&](const std::string& stage, int percent, double seconds) { line.Show(stage, percent, seconds); },
      true);
  line.Clear();
  if (!run.started) return fail("cannot start the reader " + program + ": " + run.startError);
  const std::string stage = run.stage.empty() ? "starting" : run.stage;
  const std::string seconds = std::to_string(options.timeLimitSeconds) + " s";
  if (run.timedOut) {
    if (stage == "meshing")
      return fail("meshing took longer than " + seconds +
                  "; try --mesh-quality coarse (or allow more time with --cad-time-limit)");
    return fail(stage + " took longer than " + seconds + " (--cad-time-limit sets the limit)");
  }
  if (run.signal == SIGKILL)
    return fail(reader + " was killed (SIGKILL) while " + stage + "; the machine may have run out of memory");
  if (run.signal) return fail(reader + " crashed on this file (" + SignalName(run.signal) + " while " + stage + ")");
  if (run.exitCode == kOutOfMemory)
    return fail(reader + " ran out of memory while " + stage + " (limit " + std::to_string(options.memoryLimitMb) +
                " MB; --cad-memory-limit raises it)");
  if (run.exitCode != 0) {
    if (!run.error.empty()) return fail(run.error);
    return fail(reader + " stopped without a result (exit code " + std::to_string(run.exitCode) + ")");
  }
  const std::string& bytes = run.handoff;
  std::string why;
  if (!DecodeCadScene(bytes, scene, why)) return fail("the reader's hand-off is damaged: " + why);
  return true;
}

}  // namespace

bool ReadCadFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report, const CadReadOptions& options) {
  const fs::path file(NativePath(path));
  if (!zem::StartModelReport(file, report)) return false;
  std::error_code ec;
  const std::string ext = Lower(file.extension().string());
  const std::string reader = ext == ".iges" || ext == ".igs" ? "the IGES reader" : "the STEP reader";
  CadScene scene;
  std::string error;
  if (!RunReaderChild(fs::absolute(file, ec).string(), "model", reader, file.filename().string(), options, scene,
                      error)) {
    report.error = FromUtf8(error);
    return false;
  }
  CRhinoDoc scratch;
  if (!BuildCadDocument(scene, FromUtf8(file.stem().string()), scratch, report)) return false;
  scene = CadScene();
  // The reader's working memory goes back to the system before the export
  // needs its own.
  malloc_trim(0);
  doc.TakeContents(scratch);
  return true;
}

bool MeshTrimmedFaces(const std::string& input, const CadReadOptions& options, CadScene& scene, std::string& error) {
  return RunReaderChild(input, "faces", "the face mesher", "trimmed faces", options, scene, error);
}

}  // namespace zem::cad
