#pragma once
// zem-webgl as a function: parses the arguments, runs the command, prints
// to out and err, and answers the process exit code.
#include <ostream>
#include <string>
#include <vector>

namespace zem::app {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// Where the program runs.
struct ProgramSetting {
  std::string program;    // the zem-webgl executable, which runs each model of a batch
  bool terminal = false;  // err is a terminal: progress lines are shown
};

int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const ProgramSetting& setting = {});

}  // namespace zem::app
