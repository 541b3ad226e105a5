#pragma once
// zem-webgl as a function: parses the arguments, runs the command, prints
// to out and err, and answers the process exit code.
#include <ostream>
#include <string>
#include <vector>

namespace zem::app {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zem::app
