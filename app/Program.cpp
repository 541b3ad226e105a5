#include "app/Program.h"

#include "ZemVersion.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "app/BatchExport.h"
#include "app/CommandLine.h"
#include "app/EstimateCommand.h"
#include "app/ExportCommand.h"
#include "app/ModelDocument.h"
#include "app/PlugInLoad.h"
#include "importers/MeshFileReader.h"
#include "importers/cad/CadReader.h"

namespace zem::app {

namespace {

int RunCommand(const ParsedCommandLine& parsed, std::ostream& out, std::ostream& err, const ProgramSetting& setting) {
  cad::CadReadOptions cadOptions;
  const std::string& quality = parsed.line.meshQuality;
  cadOptions.quality = quality == "coarse" ? cad::MeshQuality::Coarse
                       : quality == "fine" ? cad::MeshQuality::Fine
                                           : cad::MeshQuality::Normal;
  cadOptions.timeLimitSeconds = parsed.line.cadTimeLimit;
  cadOptions.memoryLimitMb = parsed.line.cadMemoryLimit;
  cadOptions.showProgress = parsed.line.terminal && !parsed.line.quiet;
  // The CAD reader's child is the program beside this one.
  if (!setting.program.empty())
    cadOptions.program = (std::filesystem::path(setting.program).parent_path() / cad::kCadReaderProgram).string();
  cad::SetCadReadOptions(cadOptions);
  if (parsed.line.maxModelBytes > 0) SetWholeFileLimit(parsed.line.maxModelBytes);
  switch (parsed.line.command) {
    case CommandLine::Command::Help:
      out << UsageText();
      return kExitOk;
    case CommandLine::Command::Version:
      out << "zem-webgl " << ZEM_VERSION_TEXT << "\n";
      return kExitOk;
    case CommandLine::Command::Export:
      // Each model of a batch is exported by a program of its own, which
      // loads the plug-in itself. A wrong display mode is a wrong command
      // line for a batch as for one model.
      if (parsed.line.models.size() > 1) {
        if (!KnownDisplayMode(parsed.line, err)) return kExitUsage;
        return RunBatchExport(parsed.line, setting.program, out, err);
      }
      [[fallthrough]];
    case CommandLine::Command::Demo:
      if (!EnsurePlugInLoaded(err)) return kExitFailed;
      return RunExportCommand(parsed.line, out, err);
    case CommandLine::Command::Estimate:
      if (!EnsurePlugInLoaded(err)) return kExitFailed;
      return RunEstimateCommand(parsed.line, out, err);
  }
  return kExitUsage;
}

}  // namespace

int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const ProgramSetting& setting) {
  ParsedCommandLine parsed = ParseCommandLine(args);
  parsed.line.terminal = setting.terminal;
  if (!parsed.ok) {
    err << "zem-webgl: " << parsed.error << "\n";
    return kExitUsage;
  }
  int code = kExitFailed;
  try {
    code = RunCommand(parsed, out, err, setting);
  } catch (const std::bad_alloc&) {
    // What the export had begun is undone on the way out (the page is
    // written under another name and renamed only when whole).
    err << "zem-webgl: out of memory; nothing was written\n";
    return kExitFailed;
  }
  // What the program was to print is part of its result: output that could
  // not be written (a full disk, a closed pipe) is a failure.
  if (!out.flush()) {
    err << "zem-webgl: cannot write the output\n";
    return code == kExitOk ? kExitFailed : code;
  }
  return code;
}

}  // namespace zem::app
