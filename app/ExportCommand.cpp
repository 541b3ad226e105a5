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

// Many mail servers refuse messages above 20 to 25 MB.
constexpr std::uintmax_t kMailSizeWarning = 20'000'000;

std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

// The page next to the model, named after it; or, when -o names an
// existing folder, in that folder.
std::wstring PagePath(const CommandLine& line) {
  const bool demo = line.command == CommandLine::Command::Demo;
  const fs::path name = demo ? fs::path("demo.html") : fs::path(NativePath(line.models.front())).replace_extension(".html");
  if (line.output.empty()) return FromUtf8(name.string());
  std::error_code ec;
  const fs::path output(NativePath(line.output));
  if (fs::is_directory(output, ec)) return FromUtf8((output / name.filename()).string());
  std::wstring page = line.output;
  // The save dialog gives a name without extension the page's own; do it
  // here so that the checks look at the file that will be written.
  if (output.extension().empty()) page += L".html";
  return page;
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

// Hears the export: shows how far the mesh data of a large model has come,
// on one line that is rewritten in place (so only where the error stream is
// a terminal), and keeps the outcome.
class Progress : public ExportListener {
 public:
  Progress(std::ostream& err, long long total, bool show) : m_err(err), m_total(total), m_show(show && total >= 200000) {}
  ~Progress() override { Finish(); }
  // Clears the progress line, so that what follows starts on a clean line.
  void Finish() {
    if (m_shown) m_err << '\r' << std::string(70, ' ') << '\r' << std::flush;
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
    char text[80];
    std::snprintf(text, sizeof text, "\rwriting meshes: %3d%% (%lld of %lld triangles)", percent, written, m_total);
    m_err << text << std::flush;
  }

 private:
  std::ostream& m_err;
  long long m_total;
  bool m_show;
  bool m_shown = false;
  int m_percent = -1;
  std::optional<ExportResult> m_outcome;
};

// Opens the model (or the demo) as the host's document; false after
// telling why not.
bool OpenDocument(const CommandLine& line, std::ostream& err) {
  ModelReport report;
  const bool demo = line.command == CommandLine::Command::Demo;
  if (!(demo ? OpenDemoDocument(report) : OpenModelFile(line.models.front(), report))) {
    err << "zem-webgl: cannot read " << (demo ? std::string("the demo") : Utf8(line.models.front())) << ": "
        << Utf8(report.error) << "\n";
    return false;
  }
  if (line.quiet) return true;
  for (const auto& note : report.notes) err << "zem-webgl: note: " << Utf8(note) << "\n";
  CRhinoObjectIterator objects(*RhinoApp().ActiveDoc(), CRhinoObjectIterator::all_objects);
  if (!demo && !objects.First())
    err << "zem-webgl: warning: " << Utf8(line.models.front()) << " holds no objects; the page shows nothing\n";
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
  return kExitOk;
}

// Why the page (or the mail draft) cannot be written, or empty.
std::string DestinationProblem(const CommandLine& line, const fs::path& page) {
  if (!line.email) return OutputProblem(page);
  // The draft goes to the outbox; the page itself is temporary.
  if (line.outbox.empty()) return std::string();
  return OutputProblem(fs::path(NativePath(line.outbox)) / "draft.eml");
}

ExportOptions OptionsFor(const CommandLine& line, const CRhinoDoc& doc) {
  ExportOptions options;
  options.title = line.title ? *line.title : std::wstring(doc.Title());
  options.author = line.author ? *line.author : std::wstring(doc.Properties().RevisionHistory().m_sCreatedBy);
  options.linkText = line.link;
  if (line.linkMode)
    options.linkMode = *line.linkMode == "mail"  ? ExportOptions::LinkMode::Mail
                       : *line.linkMode == "web" ? ExportOptions::LinkMode::Web
                                                 : ExportOptions::LinkMode::NoLink;
  else if (!line.link.empty())
    options.linkMode =
        line.link.find(L'@') != std::wstring::npos ? ExportOptions::LinkMode::Mail : ExportOptions::LinkMode::Web;
  options.showNotes = line.notes;
  options.showDots = line.dots;
  options.sendByMail = line.email;
  options.zip = line.zip;
  options.threads = line.threads;
  options.compact = line.compact;
  return options;
}

// Runs the export driver, answering its save dialog with the page (and yes
// when it asks before replacing a file).
ExportResult Export(const CommandLine& line, const ExportOptions& options, const std::wstring& page,
                    std::ostream& err) {
  AnswerQueue& answers = AnswerQueue::Instance();
  answers.Clear();
  answers.Push(kSaveFileQuestion, page);
  std::error_code ec;
  if (fs::exists(NativePath(page), ec)) answers.Push(kMessageBoxQuestion, L"yes");
  Progress progress(err, TrianglesToWrite(*RhinoApp().ActiveDoc()), !line.quiet && line.terminal);
  ExportMemory memory;
  {
    const ScopedExportListener listening(progress);
    RunExport(options, memory);
  }
  answers.Clear();
  // The outcome as the listener heard it, the way it arrives when the
  // export runs from the dialog; one never heard did not write a page.
  return progress.Outcome().value_or(ExportResult{});
}

int Report(const CommandLine& line, const ExportResult& result, const fs::path& page, std::ostream& out,
           std::ostream& err) {
  switch (result.status) {
    case ExportStatus::Written:
    case ExportStatus::WrittenByRenderer:
      break;
    case ExportStatus::Cancelled:
      err << "zem-webgl: the export was cancelled\n";
      return kExitFailed;
    case ExportStatus::NotCreated:
      err << "zem-webgl: cannot create " << (line.email ? Utf8(result.pagePath) : page.string()) << "\n";
      return kExitFailed;
    case ExportStatus::WriteFailed:
      err << "zem-webgl: writing " << page.string()
          << " failed (disk full or folder removed?); a page already there is left as it was\n";
      return kExitFailed;
  }
  if (result.mailed && result.mailedBytes > kMailSizeWarning) {
    err << "zem-webgl: warning: the mailed " << (line.zip ? "archive" : "page") << " is "
        << (result.mailedBytes + 500000) / 1000000 << " MB; mail servers may refuse attachments above 20 MB"
        << (line.compact ? "" : " (--compact makes the page of a large model much smaller)") << "\n";
  }
  if (line.quiet) return kExitOk;
  if (result.mailed) {
    const std::wstring& draft = LastMailDraft();
    if (!draft.empty())
      out << "Saved the mail with the " << (line.zip ? "zipped " : "") << "page as " << Utf8(draft) << "\n";
    else
      out << "Handed the " << (line.zip ? "zipped " : "") << "page to the mail client\n";
  } else {
    std::error_code ec;
    const auto size = fs::file_size(NativePath(result.pagePath), ec);
    out << "Wrote " << Utf8(result.pagePath) << " (" << (ec ? 0 : size) << " bytes)\n";
  }
  return kExitOk;
}

// Closes the document when the export ends, whatever the outcome, so the
// files it unpacked go with it.
struct CloseDocumentAtEnd {
  ~CloseDocumentAtEnd() { RhinoApp().CloseDocument(); }
};

}  // namespace

int RunExportCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
  CloseDocumentAtEnd closing;
  if (!OpenDocument(line, err)) return kExitFailed;
  CRhinoDoc& doc = *RhinoApp().ActiveDoc();
  if (const int code = ChooseViewAndMode(line, doc, err); code != kExitOk) return code;
  // "-o pages/" names a folder, as with several models: made when missing.
  if (!line.output.empty() && (line.output.back() == L'/' || line.output.back() == L'\\')) {
    std::error_code ec;
    fs::create_directories(NativePath(line.output), ec);
  }
  const std::wstring page = PagePath(line);
  const fs::path native = NativePath(page);
  if (const std::string problem = DestinationProblem(line, native); !problem.empty()) {
    err << "zem-webgl: " << problem << "\n";
    return kExitFailed;
  }
  if (line.email) SetMailOutbox(line.outbox);
  const ExportResult result = Export(line, OptionsFor(line, doc), page, err);
  return Report(line, result, native, out, err);
}

}  // namespace zem::app
