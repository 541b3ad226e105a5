#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/Program.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  zem::app::ProgramSetting setting;
  std::error_code ec;
  setting.program = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  if (ec) setting.program = argv[0];
  setting.terminal = ::isatty(2) != 0;
  return zem::app::RunProgram(args, std::cout, std::cerr, setting);
}
