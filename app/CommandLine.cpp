#include "app/CommandLine.h"

#include "platform/TextEncoding.h"

namespace zem::app {

std::string UsageText() {
  return "Usage:\n"
         "  zem-webgl demo [-o PAGE.html] [--quiet]\n"
         "  zem-webgl --help\n"
         "  zem-webgl --version\n"
         "\n"
         "Writes a self-contained HTML page that shows a model in any WebGL browser.\n"
         "\n"
         "Commands:\n"
         "  demo          write the built-in demo page (demo.html unless -o is given)\n"
         "\n"
         "Options:\n"
         "  -o PAGE.html  the page to write\n"
         "  --quiet       print nothing but errors\n"
         "  --help        show this text\n"
         "  --version     show the program's version\n";
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  ParsedCommandLine result;
  if (args.empty()) {
    result.error = "no command given (try 'zem-webgl --help')";
    return result;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    result.line.command = CommandLine::Command::Help;
    result.ok = args.size() == 1;
    if (!result.ok) result.error = "--help takes no further arguments";
    return result;
  }
  if (first == "--version") {
    result.line.command = CommandLine::Command::Version;
    result.ok = args.size() == 1;
    if (!result.ok) result.error = "--version takes no further arguments";
    return result;
  }
  if (first != "demo") {
    result.error = "unknown command '" + first + "' (try 'zem-webgl --help')";
    return result;
  }
  result.line.command = CommandLine::Command::Demo;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-o" || arg == "--output") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        result.error = "option " + arg + " needs a file name";
        return result;
      }
      result.line.output = FromUtf8(args[++i]);
    } else if (arg == "--quiet" || arg == "-q") {
      result.line.quiet = true;
    } else if (arg == "--help" || arg == "-h") {
      result.line.command = CommandLine::Command::Help;
    } else {
      result.error = "unknown option '" + arg + "' for demo (try 'zem-webgl --help')";
      return result;
    }
  }
  result.ok = true;
  return result;
}

}  // namespace zem::app
