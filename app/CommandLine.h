#pragma once
// The command line of zem-webgl.
#include <string>
#include <vector>

namespace zem::app {

struct CommandLine {
  enum class Command { Help, Version, Demo };
  Command command = Command::Help;
  std::wstring output;  // -o PAGE.html; empty: the default name
  bool quiet = false;
};

struct ParsedCommandLine {
  bool ok = false;
  CommandLine line;
  std::string error;  // why parsing failed, for the user
};

// Parses the arguments after the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string UsageText();

}  // namespace zem::app
