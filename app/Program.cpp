#include "app/Program.h"

#include <filesystem>
#include <system_error>

#include "ZemVersion.h"
#include "app/CommandLine.h"
#include "app/DemoPage.h"
#include "platform/NativePath.h"

namespace zem::app {

namespace {

namespace fs = std::filesystem;

// Why a page cannot be created at path, in the user's terms.
std::string CreateFailure(const fs::path& path) {
  std::error_code ec;
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::exists(folder, ec)) return "the output folder " + folder.string() + " does not exist";
  if (!fs::is_directory(folder, ec)) return folder.string() + " is not a folder";
  if (fs::is_directory(path, ec)) return path.string() + " is a folder";
  return "cannot create " + path.string() + " (is the folder writable?)";
}

int RunDemo(const CommandLine& line, std::ostream& out, std::ostream& err) {
  const std::wstring page = line.output.empty() ? L"demo.html" : line.output;
  const fs::path native = NativePath(page);
  std::error_code ec;
  switch (WriteDemoPage(page)) {
    case PageWriteResult::Written:
      break;
    case PageWriteResult::NotCreated:
      err << "zem-webgl: " << CreateFailure(native) << "\n";
      return kExitFailed;
    case PageWriteResult::Broken:
      // A started page that could not be finished is not left behind as if
      // it were a page.
      if (fs::is_regular_file(native, ec)) fs::remove(native, ec);
      err << "zem-webgl: writing " << native.string() << " failed (disk full or folder removed?); nothing was kept\n";
      return kExitFailed;
  }
  if (!line.quiet) {
    auto size = fs::file_size(native, ec);
    out << "Wrote " << native.string() << " (" << (ec ? 0 : size) << " bytes)\n";
  }
  return kExitOk;
}

}  // namespace

int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.ok) {
    err << "zem-webgl: " << parsed.error << "\n";
    return kExitUsage;
  }
  switch (parsed.line.command) {
    case CommandLine::Command::Help:
      out << UsageText();
      return kExitOk;
    case CommandLine::Command::Version:
      out << "zem-webgl " << ZEM_VERSION_TEXT << "\n";
      return kExitOk;
    case CommandLine::Command::Demo:
      return RunDemo(parsed.line, out, err);
  }
  return kExitUsage;
}

}  // namespace zem::app
