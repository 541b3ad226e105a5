#include "app/ModelDocument.h"

#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/Program.h"
#include "importers/ModelFile.h"
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoFileUtilities.h"
#include "standin/host/CRhinoMaterialTable.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoView.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

namespace zem::app {

namespace {

namespace fs = std::filesystem;

std::string Names(const std::vector<std::wstring>& names) {
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : ", ") + ToUtf8(name);
  return text;
}

}  // namespace

// Opens the model (or the demo) as the host's document; false after
// telling why not.
bool OpenDocument(const CommandLine& line, std::ostream& err, std::vector<std::wstring>* files) {
  ModelReport report;
  const bool demo = line.command == CommandLine::Command::Demo;
  if (!(demo ? OpenDemoDocument(report) : OpenModelFile(line.models.front(), report))) {
    err << "zem-webgl: cannot read " << (demo ? std::string("the demo") : ToSystemBytes(line.models.front())) << ": "
        << ToUtf8(report.error) << "\n";
    return false;
  }
  if (files) *files = report.files;
  if (line.quiet) return true;
  for (const auto& note : report.notes) err << "zem-webgl: note: " << ToUtf8(note) << "\n";
  CRhinoObjectIterator objects(*RhinoApp().ActiveDoc(), CRhinoObjectIterator::all_objects);
  if (!demo && !objects.First())
    err << "zem-webgl: warning: " << ToSystemBytes(line.models.front())
        << " holds no objects; the page shows nothing\n";
  return true;
}

// Makes the named view active and gives it the named display mode; the
// exit code when one of them is not there, else kExitOk.
int ChooseViewAndMode(const CommandLine& line, CRhinoDoc& doc, std::ostream& err) {
  if (!line.view.empty()) {
    CRhinoView* view = doc.FindView(line.view.c_str());
    if (!view) {
      std::vector<std::wstring> names;
      for (int i = 0; i < doc.ViewCount(); ++i) names.push_back(doc.View(i)->Name());
      err << "zem-webgl: the model has no view '" << ToUtf8(line.view) << "' (it has: " << Names(names) << ")\n";
      return kExitUsage;
    }
    RhinoApp().SetActiveView(view);
  }
  CRhinoView* view = RhinoApp().ActiveView();
  if (!view) {
    err << "zem-webgl: the model has no view to export\n";
    return kExitFailed;
  }
  if (!line.displayMode.empty()) {
    if (!KnownDisplayMode(line, err)) return kExitUsage;
    view->SetDisplayMode(*FindDisplayMode(line.displayMode.c_str()));
  }
  return kExitOk;
}

std::string NamedFilesProblem(const CommandLine& line) {
  std::error_code ec;
  if (!line.output.empty()) {
    const fs::file_status output = fs::status(NativePath(line.output), ec);
    if (fs::exists(output) && !fs::is_regular_file(output) && !fs::is_directory(output))
      return "-o " + ToUtf8(line.output) + " is a device or another special file, neither a page nor a folder";
  }
  if (!line.dialogPicture.empty()) {
    const fs::path picture(line.dialogPicture);
    std::string ending = picture.extension().string();
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending != ".png") return "--dialog-picture takes a .png file name, not " + line.dialogPicture;
    if (fs::exists(picture, ec) && !fs::is_regular_file(picture, ec))
      return "--dialog-picture " + line.dialogPicture + " is not a file";
  }
  return std::string();
}

std::vector<fs::path> InputFiles(const std::vector<std::wstring>& read, const CRhinoDoc& doc) {
  std::vector<fs::path> files;
  for (const std::wstring& file : read) files.emplace_back(NativePath(file));
  for (int i = 0; i < doc.m_material_table.MaterialCount(); ++i) {
    const ON_Material& material = doc.m_material_table[i];
    for (int t = 0; t < material.m_textures.Count(); ++t) {
      ON_wString found;
      if (CRhinoFileUtilities::FindFile(material.m_textures[t].m_filename.c_str(), found))
        files.emplace_back(NativePath(found.c_str()));
    }
  }
  return files;
}

std::string InputClash(const CommandLine& line, const fs::path* page, const std::vector<fs::path>& inputs) {
  std::error_code ec;
  // One file by any of its names (links followed, hard links too).
  auto same = [&ec](const fs::path& a, const fs::path& b) {
    return fs::equivalent(a, b, ec) || fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
  };
  for (const fs::path& input : inputs) {
    if (page && same(*page, input))
      return "the page " + page->string() + " would replace " + input.string() +
             ", which the export reads; name another page with -o";
    if (!line.dialogPicture.empty() && same(line.dialogPicture, input))
      return "--dialog-picture " + line.dialogPicture + " would replace " + input.string() + ", which the export reads";
  }
  if (page && !line.dialogPicture.empty() && same(line.dialogPicture, *page))
    return "--dialog-picture " + line.dialogPicture + " names the page itself";
  return std::string();
}

bool KnownDisplayMode(const CommandLine& line, std::ostream& err) {
  if (line.displayMode.empty() || FindDisplayMode(line.displayMode.c_str())) return true;
  std::vector<std::wstring> names;
  for (int i = 0; i < DisplayModeCount(); ++i) names.push_back(DisplayModeAt(i).m_szEnglishName);
  err << "zem-webgl: unknown display mode '" << ToUtf8(line.displayMode) << "' (known: " << Names(names) << ")\n";
  return false;
}

CloseDocumentAtEnd::~CloseDocumentAtEnd() { RhinoApp().CloseDocument(); }

}  // namespace zem::app
