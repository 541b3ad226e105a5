#include "app/ExportCommand.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "app/ExportDialogDriver.h"
#include "app/ModelDocument.h"
#include "app/Program.h"
#include "capture/ExportDriver.h"
#include "capture/ExportListener.h"
#include "dialog/ZEM_WebGL_Dialog.h"
#include "importers/ModelFile.h"
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoView.h"
#include "standin/platform/AnswerQueue.h"
#include "standin/platform/MailClient.h"
#include "standin/platform/MimeMessage.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"
#include "capture/PictureKind.h"
#include "standin/host/CRhinoDib.h"

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
  if (line.output.empty()) return FromSystemBytes(name.string());
  std::error_code ec;
  const fs::path output(NativePath(line.output));
  if (fs::is_directory(output, ec)) return FromSystemBytes((output / name.filename()).string());
  std::wstring page = line.output;
  // The save dialog gives a name without extension the page's own; do it
  // here so that the checks look at the file that will be written.
  if (output.extension().empty()) page += L".html";
  return page;
}

// Why no page can be written at path, or empty when one can. `what` names
// the folder for the user ("output folder", "outbox").
std::string OutputProblem(const fs::path& page, const std::string& what) {
  std::error_code ec;
  fs::path folder = page.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::exists(folder, ec)) return "the " + what + " " + folder.string() + " does not exist";
  if (!fs::is_directory(folder, ec)) return folder.string() + " is not a folder";
  if (fs::is_directory(page, ec)) return page.string() + " is a folder";
  // A page that may be changed in a folder that takes no new file is
  // written in place (the export keeps a copy and puts it back if need be).
  const bool changeable = fs::is_regular_file(page, ec) && ::access(page.c_str(), W_OK) == 0;
  if (::access(folder.c_str(), W_OK) != 0 && !changeable)
    return "the " + what + " " + folder.string() + " is not writable";
  const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  if (longest > 0 && page.filename().string().size() > static_cast<std::size_t>(longest))
    return "cannot create " + page.string() + ": the file name is longer than the " + std::to_string(longest) +
           " bytes the folder takes";
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
  if (!line.email) return OutputProblem(page, "output folder");
  // The draft goes to the outbox; the page itself is temporary.
  if (line.outbox.empty()) return std::string();
  return OutputProblem(fs::path(NativePath(line.outbox)) / "draft.eml", "outbox");
}

}  // namespace

std::optional<ExportResult> ExportWithDialog(const CommandLine& line, const std::wstring& page,
                                             ExportListener& listener, std::string& problem) {
  CRhinoDoc& doc = *RhinoApp().ActiveDoc();
  const std::wstring title = line.title ? *line.title : std::wstring(doc.Title());
  const std::wstring author =
      line.author ? *line.author : std::wstring(doc.Properties().RevisionHistory().m_sCreatedBy);
  // What the dialog does not show goes with this export's dialog.
  ExportOptions unshown;
  unshown.threads = line.threads;
  unshown.compact = line.compact;
  ExportDialogDriver driver;
  // The picture shows the dialog as a person sees it before pressing Ok:
  // with the size estimate of its first tick.
  const DWORD estimated = ZEM_WebGL_Dialog::kFirstTickMs + ZEM_WebGL_Dialog::kTickMs + 50;
  if (!driver.Open(line.email, unshown) || !driver.Perform(DialogActions(line, title, author)) ||
      (!line.dialogPicture.empty() && (!driver.Idle(estimated) || !driver.SavePicture(line.dialogPicture)))) {
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

// A texture that is missing or no regular file was noted when the model was
// read; one that is there but could not be read as a picture is noted
// here, the same way.
void NoteUnreadTextures(const std::vector<std::wstring>& textures, std::ostream& err) {
  for (const std::wstring& texture : textures) {
    std::error_code ec;
    if (!fs::is_regular_file(NativePath(texture), ec)) continue;
    std::string why = PictureKindOf(texture) == PictureKind::Rgbe
                          ? "not a Radiance RGBE picture read here, or above 8192 x 4096 pixels"
                          : PictureReadProblem(texture.c_str());
    if (why.empty()) why = "too large for the memory at hand";
    err << "zem-webgl: note: texture file " << ToSystemBytes(texture) << " cannot be read (" << why
        << "); its materials are shaded without it\n";
  }
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
      err << "zem-webgl: cannot create " << (line.email ? ToSystemBytes(result.pagePath) : page.string()) << "\n";
      return kExitFailed;
    case ExportStatus::WriteFailed:
      err << "zem-webgl: writing " << page.string()
          << (result.outOfMemory ? " failed: out of memory" : " failed (disk full or folder removed?)")
          << "; a page already there is left as it was\n";
      return kExitFailed;
  }
  if (!line.quiet) NoteUnreadTextures(result.unreadTextures, err);
  if (line.email && !result.mailed) {
    const std::string why = ToUtf8(LastMailProblem());
    err << "zem-webgl: the page was not handed to the mail client" << (why.empty() ? "" : " (" + why + ")")
        << "; it is kept as " << NativePath(result.pagePath) << "\n";
    return kExitFailed;
  }
  // What is sent is the message: the attachment in base64, a third larger.
  const std::uintmax_t sent = result.mailed ? MimeAttachmentBytes(result.mailedBytes) : 0;
  if (sent > kMailSizeWarning) {
    err << "zem-webgl: warning: the mail with the " << (line.zip ? "archive" : "page") << " is "
        << (sent + 500000) / 1000000 << " MB; mail servers may refuse messages above 20 MB"
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
    out << "Wrote " << ToSystemBytes(result.pagePath) << " (" << (ec ? 0 : size) << " bytes)\n";
  }
  return kExitOk;
}

}  // namespace

int RunExportCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (const std::string problem = NamedFilesProblem(line); !problem.empty()) {
    err << "zem-webgl: " << problem << "\n";
    return kExitUsage;
  }
  CloseDocumentAtEnd closing;
  std::vector<std::wstring> read;
  if (!OpenDocument(line, err, &read)) return kExitFailed;
  CRhinoDoc& doc = *RhinoApp().ActiveDoc();
  if (const int code = ChooseViewAndMode(line, doc, err); code != kExitOk) return code;
  // "-o pages/" names a folder, as with several models: made when missing.
  if (!line.output.empty() && (line.output.back() == L'/' || line.output.back() == L'\\')) {
    std::error_code ec;
    fs::create_directories(NativePath(line.output), ec);
    if (ec) {
      err << "zem-webgl: cannot make the folder " << NativePath(line.output) << ": " << ec.message() << "\n";
      return kExitFailed;
    }
  }
  const std::wstring page = PagePath(line);
  const fs::path native = NativePath(page);
  if (const std::string clash = InputClash(line, line.email ? nullptr : &native, InputFiles(read, doc));
      !clash.empty()) {
    err << "zem-webgl: " << clash << "\n";
    return kExitUsage;
  }
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
