#include <iostream>
#include <string>
#include <vector>

#include "app/Program.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return zem::app::RunProgram(args, std::cout, std::cerr);
}
