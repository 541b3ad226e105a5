// zem-cad-reader: the CAD reader's child process, started by zem-webgl as
// `zem-cad-reader __read-cad FILE QUALITY MEMORY-MB PARENT-PID [MODE]` with
// the hand-off file on descriptor 3 and the progress pipe on descriptor 4.
// A program of its own, so that zem-webgl never loads Open CASCADE.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "importers/cad/CadReader.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] != zem::cad::kCadReaderCommand) {
    std::fprintf(stderr, "zem-cad-reader is started by zem-webgl to read STEP and IGES files\n");
    return 2;
  }
  // Once its hand-off is written it ends at once: the kernel's objects and
  // singletons are the system's to reclaim, not worth tearing down.
  const int code = zem::cad::RunCadReaderChild(std::vector<std::string>(args.begin() + 1, args.end()));
  std::fflush(nullptr);
  std::_Exit(code);
}
