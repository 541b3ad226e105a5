#pragma once
// The command line of zem-webgl.
#include <optional>
#include <string>
#include <vector>

namespace zem::app {

struct CommandLine {
  enum class Command { Help, Version, Demo, Export, Estimate };
  Command command = Command::Help;
  std::vector<std::wstring> models;     // export: the model files; estimate: the one model
  std::wstring output;                  // -o PAGE.html or FOLDER; empty: next to the model
  int jobs = 1;                         // --jobs: exports of a batch run at once
  std::optional<std::wstring> title;    // default: the document's title
  std::optional<std::wstring> author;   // default: the document's creator
  std::wstring link;                    // --link
  std::optional<std::string> linkMode;  // mail, web or none; default by the link text
  bool notes = false;
  bool dots = true;
  std::wstring displayMode;  // empty: the view's own
  std::wstring view;         // empty: the document's active view
  bool email = false;        // mail the page instead of keeping it
  bool zip = false;          // mail it zipped
  std::wstring outbox;       // where mail drafts are saved
  bool quiet = false;
  int threads = 0;            // 0: the machine's cores
  bool compact = false;       // store mesh data indexed as base64
  bool terminal = false;      // the error stream is a terminal (progress lines)
  std::string dialogPicture;  // --dialog-picture: PNG of the dialog as last shown
  // STEP and IGES models: how finely they are meshed, and the limits of
  // the child process that reads them.
  std::string meshQuality = "normal";  // coarse, normal or fine
  int cadTimeLimit = 120;              // seconds
  long long cadMemoryLimit = 8192;     // megabytes
  // The options as given, but for the models, -o and --jobs: what each
  // export of a batch is run with.
  std::vector<std::string> perModelOptions;
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
