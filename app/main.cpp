#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/BatchExport.h"
#include "app/Program.h"
#include "standin/platform/InterruptCleanup.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  zem::app::ProgramSetting setting;
  std::error_code ec;
  setting.program = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  if (ec) setting.program = argv[0];
  setting.terminal = ::isatty(2) != 0;
  // On SIGINT, SIGTERM and SIGHUP: stop a batch's workers, undo what the
  // export made, and end with the signal's status.
  zem::InstallInterruptCleanup(zem::app::StopBatchWorkers);
  return zem::app::RunProgram(args, std::cout, std::cerr, setting);
}
