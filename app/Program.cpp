#include "app/Program.h"

#include "ZemVersion.h"

#include <cstdio>
#include <cstdlib>

#include "app/BatchExport.h"
#include "app/CommandLine.h"
#include "app/EstimateCommand.h"
#include "app/ExportCommand.h"
#include "app/PlugInLoad.h"
#include "importers/cad/CadReader.h"

namespace zem::app {

int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const ProgramSetting& setting) {
  // The CAD reader's child process: the program started again by itself.
  // Once its hand-off is written it ends at once: the kernel's objects and
  // singletons are the system's to reclaim, not worth tearing down.
  if (!args.empty() && args[0] == cad::kCadReaderCommand) {
    std::fflush(nullptr);
    std::_Exit(cad::RunCadReaderChild(std::vector<std::string>(args.begin() + 1, args.end())));
  }
  ParsedCommandLine parsed = ParseCommandLine(args);
  parsed.line.terminal = setting.terminal;
  if (!parsed.ok) {
    err << "zem-webgl: " << parsed.error << "\n";
    return kExitUsage;
  }
  cad::CadReadOptions cadOptions;
  const std::string& quality = parsed.line.meshQuality;
  cadOptions.quality = quality == "coarse" ? cad::MeshQuality::Coarse
                       : quality == "fine" ? cad::MeshQuality::Fine
                                           : cad::MeshQuality::Normal;
  cadOptions.timeLimitSeconds = parsed.line.cadTimeLimit;
  cadOptions.memoryLimitMb = parsed.line.cadMemoryLimit;
  cadOptions.showProgress = parsed.line.terminal && !parsed.line.quiet;
  cadOptions.program = setting.program;
  cad::SetCadReadOptions(cadOptions);
  switch (parsed.line.command) {
    case CommandLine::Command::Help:
      out << UsageText();
      return kExitOk;
    case CommandLine::Command::Version:
      out << "zem-webgl " << ZEM_VERSION_TEXT << "\n";
      return kExitOk;
    case CommandLine::Command::Export:
      // Each model of a batch is exported by a program of its own, which
      // loads the plug-in itself.
      if (parsed.line.models.size() > 1) return RunBatchExport(parsed.line, setting.program, out, err);
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

}  // namespace zem::app
