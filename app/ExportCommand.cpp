#include "app/ExportCommand.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/Program.h"
#include "capture/ExportDriver.h"
#include "capture/ExportListener.h"
#include "host/CDisplayPipelineAttributes.h"
#include "host/CRhinoApp.h"
#include "host/CRhinoDoc.h"
#include "host/CRhinoObjectIterator.h"
#include "host/CRhinoView.h"
#include "host/model/ModelFile.h"
#include "platform/AnswerQueue.h"
#include "platform/MailClient.h"
#include "platform/NativePath.h"
#include "platform/TextEncoding.h"

namespace zem::app {

namespace {

namespace fs = std::filesystem;

std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

// The page next to the model, named after it.
std::wstring DefaultPagePath(const CommandLine& line) {
  if (line.command == CommandLine::Command::Demo) return L"demo.html";
  fs::path model(NativePath(line.model));
  return FromUtf8(model.replace_extension(".html").string());
}

// Why no page can be written at path, or empty when one can.
std::string OutputProblem(const fs::path& page) {
  std::error_code ec;
  fs::path folder = page.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::exists(folder, ec)) return "the output folder " + folder.string() + " does not exist";
  if (!fs::is_directory(folder, ec)) return folder.string() + " is not a folder";
  if (fs::is_directory(page, ec)) return page.string() + " is a folder";
  if (::access(folder.c_str(), W_OK) != 0) return "the output folder " + folder.string() + " is not writable";
  return std::string();
}

std::string Names(const std::vector<std::wstring>& names) {
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : ", ") + Utf8(name);
  return text;
}

// Triangles the export will write: the render meshes of the visible mesh
// and brep objects.
long long TrianglesToWrite(const CRhinoDoc& doc) {
  long long total = 0;
  CRhinoObjectIterator it(doc, CRhinoObjectIterator::all_objects);
  for (const CRhinoObject* object = it.First(); object; object = it.Next()) {
    if (!object->IsVisible()) continue;
    if (object->ObjectType() != ON::mesh_object && object->ObjectType() != ON::brep_object) continue;
    ON_SimpleArray<const ON_Mesh*> meshes;
    object->GetMeshes(ON::render_mesh, meshes);
    for (const ON_Mesh* mesh : meshes)
      if (mesh) total += mesh->TriangleCount() + 2LL * mesh->QuadCount();
  }
  return total;
}

// Hears the export: shows how far the mesh data has come, on a terminal
// only, and keeps the outcome.
class Progress : public ExportListener {
 public:
  Progress(long long total, bool show) : m_total(total), m_show(show && total >= 200000 && ::isatty(2)) {}
  ~Progress() override { Finish(); }
  // Clears the progress line, so that what follows starts on a clean line.
  void Finish() {
    if (m_shown) std::fprintf(stderr, "\r%70s\r", "");
    m_shown = false;
    m_show = false;
  }
  void OnExportFinished(const ExportResult& result) override {
    Finish();
    m_outcome = result;
  }
  const std::optional<ExportResult>& Outcome() const { return m_outcome; }
  void OnExportProgress(long long written) override {
    if (!m_show || m_total <= 0) return;
    const int percent = static_cast<int>(100 * written / m_total);
    if (percent == m_percent) return;
    m_percent = percent;
    m_shown = true;
    std::fprintf(stderr, "\rwriting meshes: %3d%% (%lld of %lld triangles)", percent, written, m_total);
    std::fflush(stderr);
  }

 private:
  long long m_total;
  bool m_show;
  bool m_shown = false;
  int m_percent = -1;
  std::optional<ExportResult> m_outcome;
};

}  // namespace

int RunExportCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
  ModelReport report;
  const bool opened = line.command == CommandLine::Command::Demo ? OpenDemoDocument(report)
                                                                  : OpenModelFile(line.model, report);
  if (!opened) {
    err << "zem-webgl: cannot read " << Utf8(line.model) << ": " << Utf8(report.error) << "\n";
    return kExitFailed;
  }
  if (!line.quiet)
    for (const auto& note : report.notes) err << "zem-webgl: note: " << Utf8(note) << "\n";

  CRhinoDoc& doc = *RhinoApp().ActiveDoc();
  if (!line.view.empty()) {
    CRhinoView* view = doc.FindView(line.view.c_str());
    if (!view) {
      std::vector<std::wstring> names;
      for (int i = 0; i < doc.ViewCount(); ++i) names.push_back(doc.View(i)->Name());
      err << "zem-webgl: the model has no view '" << Utf8(line.view) << "' (it has: " << Names(names) << ")\n";
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
    const CDisplayPipelineAttributes* mode = FindDisplayMode(line.displayMode.c_str());
    if (!mode) {
      std::vector<std::wstring> names;
      for (int i = 0; i < DisplayModeCount(); ++i) names.push_back(DisplayModeAt(i).m_szEnglishName);
      err << "zem-webgl: unknown display mode '" << Utf8(line.displayMode) << "' (known: " << Names(names) << ")\n";
      return kExitUsage;
    }
    view->SetDisplayMode(*mode);
  }

  std::wstring page = line.output.empty() ? DefaultPagePath(line) : line.output;
  // The save dialog gives a name without extension the page's own; do it
  // here so that the checks below look at the file that will be written.
  if (fs::path(NativePath(page)).extension().empty()) page += L".html";
  const fs::path native = NativePath(page);
  if (line.email) {
    // The draft goes to the outbox; the page itself is temporary.
    if (!line.outbox.empty()) {
      if (std::string problem = OutputProblem(fs::path(NativePath(line.outbox)) / "draft.eml"); !problem.empty()) {
        err << "zem-webgl: " << problem << "\n";
        return kExitFailed;
      }
    }
    SetMailOutbox(line.outbox);
  } else if (std::string problem = OutputProblem(native); !problem.empty()) {
    err << "zem-webgl: " << problem << "\n";
    return kExitFailed;
  }

  ExportOptions options;
  options.title = line.title ? *line.title : std::wstring(doc.Title());
  options.author = line.author ? *line.author : std::wstring(doc.Properties().RevisionHistory().m_sCreatedBy);
  options.linkText = line.link;
  if (line.linkMode)
    options.linkMode = *line.linkMode == "mail"  ? ExportOptions::kMailLink
                       : *line.linkMode == "web" ? ExportOptions::kWebLink
                                                 : ExportOptions::kNoLink;
  else if (!line.link.empty())
    options.linkMode = line.link.find(L'@') != std::wstring::npos ? ExportOptions::kMailLink : ExportOptions::kWebLink;
  options.showNotes = line.notes;
  options.showDots = line.dots;
  options.sendByMail = line.email;
  options.zip = line.zip;
  options.threads = line.threads;

  // The user named the page: answer the save dialog with it, and say yes
  // when it asks before replacing an existing file.
  AnswerQueue& answers = AnswerQueue::Instance();
  answers.Clear();
  answers.Push(kSaveFileQuestion, page);
  std::error_code ec;
  if (fs::exists(native, ec)) answers.Push(kMessageBoxQuestion, L"yes");

  Progress progress(TrianglesToWrite(doc), !line.quiet);
  ExportMemory memory;
  {
    const ScopedExportListener listening(progress);
    RunExport(options, memory);
  }
  answers.Clear();
  if (!progress.Outcome()) {
    err << "zem-webgl: the export did not run\n";
    return kExitFailed;
  }
  const ExportResult& result = *progress.Outcome();

  switch (result.status) {
    case ExportStatus::Written:
    case ExportStatus::WrittenByRenderer:
      break;
    case ExportStatus::Cancelled:
      err << "zem-webgl: the export was cancelled\n";
      return kExitFailed;
    case ExportStatus::NotCreated:
      err << "zem-webgl: cannot create " << (line.email ? Utf8(result.pagePath) : native.string()) << "\n";
      return kExitFailed;
    case ExportStatus::WriteFailed:
      err << "zem-webgl: writing " << native.string()
          << " failed (disk full or folder removed?); the incomplete page was removed\n";
      return kExitFailed;
  }
  if (line.quiet) return kExitOk;
  if (result.mailed) {
    const std::wstring& draft = LastMailDraft();
    if (!draft.empty())
      out << "Saved the mail with the " << (line.zip ? "zipped " : "") << "page as " << Utf8(draft) << "\n";
    else
      out << "Handed the " << (line.zip ? "zipped " : "") << "page to the mail client\n";
  } else {
    const auto size = fs::file_size(NativePath(result.pagePath), ec);
    out << "Wrote " << Utf8(result.pagePath) << " (" << (ec ? 0 : size) << " bytes)\n";
  }
  return kExitOk;
}

}  // namespace zem::app
