#pragma once
// Runs a reader in a child process under a time and a memory limit, so that
// a model file that crashes it, makes it loop or eat the machine's memory
// costs one clear error and nothing else. The child gets a private hand-off
// file on descriptor 3 (made without a name, or created exclusively with
// mode 0600 and unlinked at once: nothing is left behind on any exit path)
// and a pipe on descriptor 4 on which it says, a line at a time,
// "stage NAME", "progress PERCENT" and "error TEXT". It is killed when the
// program ends. The CAD reader and the .3dm reader run their children here.
#include <functional>
#include <string>
#include <vector>

namespace zem {

struct ChildLimits {
  int seconds = 120;           // wall time; 0: none
  long long megabytes = 8192;  // memory; 0: none
  bool addressSpace = true;    // limit the address space, else the data (a WebAssembly
                               // runtime reserves far more address space than it uses)
};

struct ChildResult {
  bool started = false;
  std::string startError;  // why it did not start
  bool timedOut = false;
  int signal = 0;       // the signal that ended it, or 0
  int exitCode = -1;    // when it exited
  std::string stage;    // the last stage it named
  int percent = -1;     // how far it said it was in that stage, or -1
  std::string error;    // the last error it told
  std::string handoff;  // what it wrote to descriptor 3
};

// Told, a few times a second while the child runs, its stage, percent and
// the seconds since it started.
using ChildProgress = std::function<void(const std::string& stage, int percent, double seconds)>;

// Runs `argv` (argv[0] is the program's path) with the environment of this
// process; stdout goes to /dev/null, stderr too unless `keepErrors`.
ChildResult RunChild(const std::vector<std::string>& argv, const ChildLimits& limits,
                     const ChildProgress& progress = nullptr, bool keepErrors = false);

// "SIGSEGV" and the like.
std::string SignalName(int signal);

}  // namespace zem
