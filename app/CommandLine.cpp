#include "app/CommandLine.h"

#include <charconv>

#include "standin/platform/TextEncoding.h"

namespace zem::app {

std::string UsageText() {
  return "Usage:\n"
         "  zem-webgl demo [-o PAGE.html] [options]\n"
         "  zem-webgl export MODEL [-o PAGE.html | -o FOLDER] [options]\n"
         "  zem-webgl export MODEL... [-o FOLDER] [--jobs N] [options]\n"
         "  zem-webgl export MODEL --email [--zip] [--outbox DIR] [options]\n"
         "  zem-webgl estimate MODEL [--view NAME] [--display-mode NAME] [--email [--zip]]\n"
         "                     [--compact]\n"
         "  zem-webgl --help | --version\n"
         "\n"
         "Writes a self-contained HTML page that shows a model in any WebGL browser.\n"
         "MODEL is a document (.json), a CAD model (STEP: .step, .stp; IGES: .iges,\n"
         ".igs), a .3dm file of the host (read through node and rhino3dm, which\n"
         "tools/install-deps installs) or a mesh file (OBJ with MTL, glTF, GLB, STL,\n"
         "PLY, 3DS, COLLADA, FBX). The page goes next to the model unless -o is given;\n"
         "-o naming a folder puts the page into it, named after the model. With several\n"
         "models each is exported on its own, into FOLDER (made when missing) or next to\n"
         "it; a failed model is reported and the others still go.\n"
         "\n"
         "Each page is made the way a person makes it in the host: the plug-in's\n"
         "ZEMWriteWebGL command shows its export dialog, the options below are entered\n"
         "there, and Ok writes the page. estimate shows the dialog for the model, prints\n"
         "its size estimate (\"Approximate file size: ... MB\") and cancels it.\n"
         "\n"
         "Options:\n"
         "  -o PAGE.html | FOLDER   the page to write, or the folder to write pages into\n"
         "  --jobs N                export N models at once (default 1)\n"
         "  --title TEXT            page title (default: the document's title)\n"
         "  --author TEXT           author (default: the document's creator)\n"
         "  --link TEXT             link of the author's name\n"
         "  --link-mode MODE        mail, web or none (default: mail when TEXT has an @);\n"
         "                          none with a --link is refused, as the dialog greys it\n"
         "  --notes                 show the document's notes on the page\n"
         "  --no-dots               leave out the text dots\n"
         "  --display-mode NAME     Wireframe, Shaded, Rendered, Ghosted or X-Ray\n"
         "  --view NAME             the view to export (default: the document's active view)\n"
         "  --email                 mail the page: hand it to the mail client (in a graphical\n"
         "                          session) or save the message as an .eml draft\n"
         "  --zip                   with --email: mail the page in a zip archive\n"
         "  --outbox DIR            with --email: save the .eml draft in DIR\n"
         "  --compact               store the meshes indexed and compressed (positions to\n"
         "                          1/65535 of the mesh's size, normals to half a degree):\n"
         "                          pages of large models become about thirty times smaller\n"
         "                          and open faster; use it for big models and for pages\n"
         "                          sent by mail (estimate: the size of such a page)\n"
         "  --threads N             threads that write the page (default: the machine's cores)\n"
         "  --max-model-size MB     read model files of up to MB megabytes (default 512)\n"
         "                          where the reader must hold the whole file (documents and\n"
         "                          mesh formats but OBJ); larger ones are refused unread\n"
         "  --dialog-picture FILE.png\n"
         "                          save a picture of the export dialog as it stands just\n"
         "                          before Ok (export) or Cancel (estimate)\n"
         "  --mesh-quality Q        STEP, IGES, trimmed faces of .3dm files: coarse,\n"
         "                          normal (default) or fine; how closely the shaded\n"
         "                          mesh follows the curved surfaces (finer is slower\n"
         "                          and makes larger pages)\n"
         "  --cad-time-limit S      STEP, IGES, .3dm: give up reading and meshing after S\n"
         "                          seconds (default 120)\n"
         "  --cad-memory-limit MB   STEP, IGES, .3dm: memory the reader may take (default\n"
         "                          8192; the reader needs 20 to 35 times the file size)\n"
         "  --quiet                 print nothing but errors and warnings\n"
         "  --help                  show this text\n"
         "  --version               show the program's version\n"
         "\n"
         "Exit codes:\n"
         "  0  every page was written (estimate: the estimate was printed)\n"
         "  1  a model could not be read, a page could not be written, or the export\n"
         "     dialog refused an option or did not close\n"
         "  2  the command line is wrong\n";
}

namespace {

bool TakesValue(const std::string& arg) {
  return arg == "-o" || arg == "--output" || arg == "--title" || arg == "--author" || arg == "--link" ||
         arg == "--link-mode" || arg == "--display-mode" || arg == "--view" || arg == "--outbox" || arg == "--jobs" ||
         arg == "--threads" || arg == "--dialog-picture" || arg == "--mesh-quality" || arg == "--cad-time-limit" ||
         arg == "--cad-memory-limit" || arg == "--max-model-size";
}

// The options of estimate: those that change what the dialog shows. The
// page's texts, its place and how it is written are refused, since no page
// is written.
bool EstimateTakes(const std::string& arg) {
  return arg == "--view" || arg == "--display-mode" || arg == "--email" || arg == "--zip" || arg == "--compact" ||
         arg == "--dialog-picture" || arg == "--mesh-quality" || arg == "--cad-time-limit" ||
         arg == "--cad-memory-limit" || arg == "--max-model-size" || arg == "--help" || arg == "-h";
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  ParsedCommandLine result;
  CommandLine& line = result.line;
  if (args.empty()) {
    result.error = "no command given (try 'zem-webgl --help')";
    return result;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help" || first == "--version") {
    line.command = first == "--version" ? CommandLine::Command::Version : CommandLine::Command::Help;
    result.ok = args.size() == 1;
    if (!result.ok) result.error = first + " takes no further arguments";
    return result;
  }
  std::size_t i = 1;
  if (first == "demo") {
    line.command = CommandLine::Command::Demo;
  } else if (first == "export") {
    line.command = CommandLine::Command::Export;
  } else if (first == "estimate") {
    line.command = CommandLine::Command::Estimate;
  } else {
    result.error = "unknown command '" + first + "' (try 'zem-webgl --help')";
    return result;
  }
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // Model files may come before and after the options (xargs appends).
    const bool takesModels =
        line.command == CommandLine::Command::Export || line.command == CommandLine::Command::Estimate;
    if (takesModels && arg.empty()) {
      result.error = "an empty argument where a model file name goes";
      return result;
    }
    if (takesModels && arg[0] != '-') {
      line.models.push_back(FromSystemBytes(arg));
      continue;
    }
    if (line.command == CommandLine::Command::Estimate && !EstimateTakes(arg)) {
      result.error =
          "estimate takes --view, --display-mode, --email, --zip, --compact, --dialog-picture and the STEP and IGES "
          "options "
          "and --max-model-size only, not " +
          arg;
      return result;
    }
    if (TakesValue(arg)) {
      if (i + 1 >= args.size()) {
        result.error = "option " + arg + " needs a value";
        return result;
      }
      const std::string& value = args[++i];
      if (arg != "-o" && arg != "--output" && arg != "--jobs") {
        line.perModelOptions.push_back(arg);
        line.perModelOptions.push_back(value);
      }
      if (arg == "--jobs") {
        const bool digits =
            !value.empty() && value.size() <= 3 && value.find_first_not_of("0123456789") == std::string::npos;
        line.jobs = digits ? std::stoi(value) : 0;
        if (line.jobs < 1 || line.jobs > 64) {
          result.error = "--jobs takes a number from 1 to 64, not '" + value + "'";
          return result;
        }
      }
      if ((arg == "-o" || arg == "--output" || arg == "--outbox" || arg == "--dialog-picture") && value.empty()) {
        result.error = "option " + arg + " needs a file name";
        return result;
      }
      if (arg == "-o" || arg == "--output") line.output = FromSystemBytes(value);
      if (arg == "--title") line.title = FromUtf8(value);
      if (arg == "--author") line.author = FromUtf8(value);
      if (arg == "--link") line.link = FromUtf8(value);
      if (arg == "--display-mode") line.displayMode = FromUtf8(value);
      if (arg == "--view") line.view = FromUtf8(value);
      if (arg == "--outbox") line.outbox = FromSystemBytes(value);
      if (arg == "--dialog-picture") line.dialogPicture = value;
      if (arg == "--threads") {
        int threads = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), threads);
        if (ec != std::errc() || end != value.data() + value.size() || threads < 1 || threads > 256) {
          result.error = "--threads must be a number from 1 to 256, not '" + value + "'";
          return result;
        }
        line.threads = threads;
      }
      if (arg == "--max-model-size") {
        unsigned megabytes = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), megabytes);
        if (ec != std::errc() || end != value.data() + value.size() || megabytes < 1 || megabytes > (1u << 20)) {
          result.error = "--max-model-size takes megabytes from 1 to 1048576, not '" + value + "'";
          return result;
        }
        line.maxModelBytes = std::uintmax_t{megabytes} << 20;
      }
      if (arg == "--mesh-quality") {
        if (value != "coarse" && value != "normal" && value != "fine") {
          result.error = "--mesh-quality must be coarse, normal or fine, not '" + value + "'";
          return result;
        }
        line.meshQuality = value;
      }
      if (arg == "--cad-time-limit" || arg == "--cad-memory-limit") {
        long long number = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
        const long long most = arg == "--cad-time-limit" ? 86400 : 1 << 24;
        if (ec != std::errc() || end != value.data() + value.size() || number < 1 || number > most) {
          result.error = arg + " must be a number from 1 to " + std::to_string(most) + ", not '" + value + "'";
          return result;
        }
        if (arg == "--cad-time-limit")
          line.cadTimeLimit = static_cast<int>(number);
        else
          line.cadMemoryLimit = number;
      }
      if (arg == "--link-mode") {
        if (value != "mail" && value != "web" && value != "none") {
          result.error = "--link-mode must be mail, web or none, not '" + value + "'";
          return result;
        }
        line.linkMode = value;
      }
      continue;
    }
    if (arg != "--help" && arg != "-h") line.perModelOptions.push_back(arg);
    if (arg == "--notes") {
      line.notes = true;
    } else if (arg == "--no-dots") {
      line.dots = false;
    } else if (arg == "--email") {
      line.email = true;
    } else if (arg == "--zip") {
      line.zip = true;
    } else if (arg == "--compact") {
      line.compact = true;
    } else if (arg == "--quiet" || arg == "-q") {
      line.quiet = true;
    } else if (arg == "--help" || arg == "-h") {
      line.command = CommandLine::Command::Help;
    } else {
      result.error = "unknown option '" + arg + "' (try 'zem-webgl --help')";
      return result;
    }
  }
  if (line.command == CommandLine::Command::Export && line.models.empty()) {
    result.error = "export needs a model file (try 'zem-webgl --help')";
    return result;
  }
  if (line.command == CommandLine::Command::Estimate && line.models.size() != 1) {
    result.error = "estimate takes one model file (try 'zem-webgl --help')";
    return result;
  }
  // The children of a batch would all write the one picture.
  if (!line.dialogPicture.empty() && line.models.size() > 1) {
    result.error = "--dialog-picture goes with one model";
    return result;
  }
  if ((line.zip || !line.outbox.empty()) && !line.email) {
    result.error = "--zip and --outbox go with --email";
    return result;
  }
  if (line.email && !line.output.empty()) {
    result.error = "-o and --email exclude each other: a mailed page is not kept";
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace zem::app
