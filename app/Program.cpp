#include "app/Program.h"

#include "ZemVersion.h"
#include "app/CommandLine.h"
#include "app/ExportCommand.h"
#include "app/PlugInLoad.h"

namespace zem::app {

int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.ok) {
    err << "zem-webgl: " << parsed.error << "\n";
    return kExitUsage;
  }
  switch (parsed.line.command) {
    case CommandLine::Command::Help:
      out << UsageText();
      return kExitOk;
    case CommandLine::Command::Version:
      out << "zem-webgl " << ZEM_VERSION_TEXT << "\n";
      return kExitOk;
    case CommandLine::Command::Demo:
    case CommandLine::Command::Export:
      if (!EnsurePlugInLoaded(err)) return kExitFailed;
      return RunExportCommand(parsed.line, out, err);
  }
  return kExitUsage;
}

}  // namespace zem::app
