// libFuzzer target of zem-webgl's command-line parser: the input is split
// at NUL bytes into arguments. Any arguments must parse or fail with a
// reason; what parses must hold together as the program relies on it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "command line fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zem::app::CommandLine;
  std::vector<std::string> args;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  while (!rest.empty() && args.size() < 64) {
    const std::size_t end = rest.find('\0');
    args.emplace_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  const zem::app::ParsedCommandLine parsed = zem::app::ParseCommandLine(args);
  Check(parsed.ok == parsed.error.empty(), "a parse either succeeds or says why it failed");
  if (!parsed.ok) return 0;
  const CommandLine& line = parsed.line;
  Check(line.jobs >= 1 && line.jobs <= 64, "--jobs out of range");
  Check(line.threads >= 0 && line.threads <= 256, "--threads out of range");
  Check(!line.zip || line.email, "--zip without --email");
  Check(!line.email || line.output.empty(), "a mailed page with -o");
  if (line.command == CommandLine::Command::Export) Check(!line.models.empty(), "export without a model");
  if (line.command == CommandLine::Command::Estimate) {
    Check(line.models.size() == 1, "estimate without exactly one model");
    Check(line.output.empty() && !line.title && !line.author && line.link.empty(), "page options on estimate");
  }
  if (!line.dialogPicture.empty()) Check(line.models.size() <= 1, "a dialog picture for several models");
  if (line.linkMode)
    Check(*line.linkMode == "mail" || *line.linkMode == "web" || *line.linkMode == "none", "an unknown link mode");
  return 0;
}
