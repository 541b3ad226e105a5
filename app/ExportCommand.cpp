#include "app/ExportCommand.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/ExportDialogDriver.h"
#include "app/ModelDocument.h"
#include "app/Program.h"
#include "capture/ExportDriver.h"
#include "capture/ExportListener.h"
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoView.h"
#include "importers/ModelFile.h"
#include "standin/platform/AnswerQueue.h"
#include "standin/platform/MailClient.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

namespace zem::app {

namespace {

namespace fs = std::filesystem;

// Many mail servers refuse messages above 20 to 25 MB.
constexpr std::uintmax_t kMailSizeWarning = 20'000'000;

// The page next to the model, named after it; or, when -o names an
// existing folder, in that folder.
std::wstring PagePath(const CommandLine& line) {
  const bool demo = line.command == CommandLine::Command::Demo;
  const fs::path name =
      demo ? fs::path("demo.html") : fs::path(NativePath(line.models.front())).replace_extension(".html");
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
// a terminal).
class Progress : public ExportListener {
 public:
  Progress(std::ostream& err, long long total, bool show)
      : m_err(err), m_total(total), m_show(show && total >= 200000) {}
  ~Progress() override { Finish(); }
  // Clears the progress line, so that what follows starts on a clean line.
  void Finish() {
    if (m_shown) m_err << '\r' << std::string(70, ' ') << '\r' << std::flush;
    m_shown = false;
    m_show = false;
  }
  void OnExportFinished(const ExportResult&) override { Finish(); }
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
};

// Why the page (or the mail draft) cannot be written, or empty.
std::string DestinationProblem(const CommandLine& line, const fs::path& page) {
  if (!line.email) return OutputProblem(page);
  // The draft goes to the outbox; the page itself is temporary.
  if (line.outbox.empty()) return std::string();
  return OutputProblem(fs::path(NativePath(line.outbox)) / "draft.eml");
}

}  // namespace

std::optional<ExportResult> ExportWithDialog(const CommandLine& line, const std::wstring& page,
                                             ExportListener& listener, std::string& problem) {
  // What the dialog does not show comes from the base it starts from.
  ExportOptions base;
  base.threads = line.threads;
  base.compact = line.compact;
  SetExportOptionsBase(base);
  CRhinoDoc& doc = *RhinoApp().ActiveDoc();
  const std::wstring title = line.title ? *line.title : std::wstring(doc.Title());
  const std::wstring author =
      line.author ? *line.author : std::wstring(doc.Properties().RevisionHistory().m_sCreatedBy);
  ExportDialogDriver driver;
  if (!driver.Open(line.email) || !driver.Perform(DialogActions(line, title, author)) ||
      (!line.dialogPicture.empty() && !driver.SavePicture(line.dialogPicture))) {
    problem = driver.Problem();
    driver.CancelIfOpen();
    return std::nullopt;
  }
  // Ok asks for the page's place (and whether to replace a page there).
  AnswerQueue& answers = AnswerQueue::Instance();
  answers.Push(kSaveFileQuestion, page);
  std::error_code ec;
  if (fs::exists(NativePath(page), ec)) answers.Push(kMessageBoxQuestion, L"yes");
  struct Heard : ExportListener {
    explicit Heard(ExportListener& next) : m_next(next) {}
    void OnExportProgress(long long written) override { m_next.OnExportProgress(written); }
    void OnExportFinished(const ExportResult& result) override {
      m_outcome = result;
      m_next.OnExportFinished(result);
    }
    ExportListener& m_next;
    std::optional<ExportResult> m_outcome;
  } heard(listener);
  bool closed = false;
  {
    const ScopedExportListener listening(heard);
    closed = driver.Finish(true);
  }
  if (!closed) {
    problem = driver.Problem();
    driver.CancelIfOpen();
    return std::nullopt;
  }
  // A dialog that closed without an export wrote nothing.
  return heard.m_outcome.value_or(ExportResult{});
}

namespace {

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
      err << "zem-webgl: cannot create " << (line.email ? ToUtf8(result.pagePath) : page.string()) << "\n";
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
      out << "Saved the mail with the " << (line.zip ? "zipped " : "") << "page as " << ToUtf8(draft) << "\n";
    else
      out << "Handed the " << (line.zip ? "zipped " : "") << "page to the mail client\n";
  } else {
    std::error_code ec;
    const auto size = fs::file_size(NativePath(result.pagePath), ec);
    out << "Wrote " << ToUtf8(result.pagePath) << " (" << (ec ? 0 : size) << " bytes)\n";
  }
  return kExitOk;
}

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
  Progress progress(err, TrianglesToWrite(doc), !line.quiet && line.terminal);
  std::string problem;
  const std::optional<ExportResult> result = ExportWithDialog(line, page, progress, problem);
  progress.Finish();
  if (!result) {
    err << "zem-webgl: " << problem << "; nothing was written\n";
    return kExitFailed;
  }
  return Report(line, *result, native, out, err);
}

}  // namespace zem::app
