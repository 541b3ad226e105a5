#include "capture/ExportDriver.h"

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "capture/CurveWriter.h"
#include "capture/DeliverByMail.h"
#include "capture/ExportListener.h"
#include "capture/MeshWriter.h"
#include "capture/ParallelFor.h"
#include "capture/TextDotWriter.h"
#include "capture/ViewWriter.h"
#include "capture/ZEM_Rhino_WebGLExport.h"
#include "delivery/GetTempFolder.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoView.h"
#include "page/TextFormat.h"
#include "standin/platform/CFileDialog.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

namespace {

constexpr const char* kRendererPipeline = "ZEM_Rhino_GLPipeline";

bool HasQuote(const std::wstring& text) { return text.find(L'"') != std::wstring::npos; }

}  // namespace

bool TryRendererExport(const std::wstring& targetPath, const zem::ExportOptions& options,
                       const std::wstring& linkTarget, const std::wstring& notice) {
  CRhinoView* view = RhinoApp().ActiveView();
  if (!view || !view->DisplayPipeline()) return false;
  const CRuntimeClass* runtimeClass = view->DisplayPipeline()->GetRuntimeClass();
  if (!runtimeClass || !runtimeClass->m_lpszClassName ||
      std::strcmp(runtimeClass->m_lpszClassName, kRendererPipeline) != 0)
    return false;
  // The renderer's command line quotes each text; a text holding a quote
  // would end its argument early and let the rest run as more command
  // input, so such an export stays with us.
  for (const std::wstring* text : {&targetPath, &options.title, &options.author, &linkTarget, &notice}) {
    if (HasQuote(*text)) return false;
  }
  if (!RhinoApp().RunScript(zem::FormatText(L"ZEMWriteWebGL_RT %d", {2}).c_str(), 0)) return false;
  std::wstring script = zem::FormatText(L"ZEMWriteWebGL_RT 0 \"%s\" \"%s\" \"%s\" \"%s\" %d",
                                        {targetPath, options.title, options.author, linkTarget, 0});
  script += options.showNotes ? L" 1" : L" 0";
  script += options.showDots ? L" 1" : L" 0";
  script += L" \"" + notice + L"\"";
  return RhinoApp().RunScript(script.c_str(), 0);
}

namespace zem {
namespace {

// The page path the user picks; empty when the dialog is cancelled.
std::wstring AskForPagePath() {
  CFileDialog dialog(FALSE, L"html", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     L"WebGL HTML Files (*.html)|*.html||");
  if (dialog.DoModal() != IDOK) return std::wstring();
  return std::wstring(dialog.GetPathName());
}

// Writes the page ourselves. The status says whether the page is whole.
ExportStatus OwnExport(const std::wstring& targetPath, const ExportOptions& options, CRhinoDoc& doc,
                       const CRhinoView& view, const std::wstring& linkTarget, const std::wstring& notice,
                       const ExportHooks& hooks) {
  const CDisplayPipelineAttributes display = *view.DisplayPipeline()->DisplayAttrs();
  const int threads = zem::ThreadsFor(options.threads);
  ExportStageTimes times;
  using Clock = std::chrono::steady_clock;
  auto since = [](Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); };
  ZEM_Rhino_WebGLExport writer(doc, display);
  // The mesh writer reports from the thread that writes the page in order,
  // which is the caller's.
  if (ExportListener* listener = CurrentExportListener())
    writer.m_progress = [listener, &hooks](long long written) {
      if (hooks.progress) hooks.progress(written);
      listener->OnExportProgress(written);
    };
  else
    writer.m_progress = hooks.progress;
  writer.m_threads = threads;
  writer.m_compact = options.compact;
  auto capturePreview = [&] {
    const auto start = Clock::now();
    writer.CapturePreviewImage();
    times.preview = since(start);
  };
  // With threads to spare, the preview picture is rendered while the scene
  // is written; the picture goes in only with the page's body. The thread
  // is joined on every way out, before the writer goes.
  std::jthread preview;
  if (hooks.capturePreview && threads > 1)
    preview = std::jthread([&] {
      capturePreview();
      // The renderer's working memory, freed in this thread's own heap, goes
      // back to the system while the scene is still being written.
      malloc_trim(0);
    });
  else if (hooks.capturePreview)
    capturePreview();
  auto stage = Clock::now();
  writer.PrepareMaterialsAndTextures();
  times.prepare = since(stage);
  stage = Clock::now();
  writer.title = options.title;
  writer.author = options.author;
  writer.authorLink = linkTarget;
  writer.notes = options.showNotes ? std::wstring(doc.Properties().Notes().m_notes) : std::wstring();
  writer.createdUsing = notice;
  if (!writer.OpenPage(targetPath)) return ExportStatus::NotCreated;

  // The data functions in page order, each written whole by its writer.
  WriteInitVB(writer);
  writer.WriteInitTextures();
  CollectCurves(writer);
  CollectTextDots(writer, options.showDots);
  WriteView(writer, view);
  WriteBackground(writer, display);
  times.scene = since(stage);
  stage = Clock::now();
  if (preview.joinable()) preview.join();
  writer.WriteBody();
  const bool closed = writer.ClosePage();
  times.finish = since(stage);
  if (hooks.times) *hooks.times = times;
  return closed ? ExportStatus::Written : ExportStatus::WriteFailed;
}

// For a folder that takes no temporary file beside the page (one we may not
// add to, or a page name too long for the temporary one): the page is
// written in place. An earlier page is first copied to the temporary folder
// and put back when the new one cannot be finished; when no copy can be
// made, the earlier page is left alone and nothing is written.
ExportStatus WritePageInPlace(const std::filesystem::path& target, const std::wstring& targetPath,
                              const std::function<ExportStatus(const std::wstring&)>& write) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const bool earlier = fs::is_regular_file(target, ec);
  const fs::path backup = earlier ? fs::path(NativePath(UniqueTempFilePath(L"_page", L".html"))) : fs::path();
  if (earlier && !fs::copy_file(target, backup, fs::copy_options::overwrite_existing, ec))
    return ExportStatus::NotCreated;
  const ExportStatus status = write(targetPath);
  if (status == ExportStatus::WriteFailed) {
    if (earlier)
      fs::copy_file(backup, target, fs::copy_options::overwrite_existing, ec);
    else if (fs::is_regular_file(target, ec))
      fs::remove(target, ec);
  }
  if (earlier) fs::remove(backup, ec);
  return status;
}

// Writes the page under a temporary name beside it and renames it over the
// target once it is whole, so a failed export leaves an earlier page as it
// was. A target that exists but is no regular file (a device, say) is
// written in place, and a link to a page is followed, so the link stays.
ExportStatus ReplacePage(const std::wstring& targetPath,
                         const std::function<ExportStatus(const std::wstring&)>& write) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target = zem::NativePath(targetPath);
  if (fs::exists(target, ec)) {
    if (!fs::is_regular_file(target, ec)) return write(targetPath);
    target = fs::canonical(target, ec);
    if (ec) return write(targetPath);
  }
  fs::path folder = target.parent_path();
  std::string pattern =
      (folder.empty() ? fs::path(".") : folder).string() + "/." + target.filename().string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return WritePageInPlace(target, targetPath, write);
  ::close(fd);
  const fs::path temporary(name.data());
  ExportStatus status = write(zem::FromUtf8(temporary.string()));
  if (status == ExportStatus::Written) {
    // mkstemp's file is private to its owner; a page is as readable as any
    // file the user makes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(temporary.c_str(), 0666 & ~mask);
    fs::rename(temporary, target, ec);
    if (ec) status = ExportStatus::WriteFailed;
  }
  if (status != ExportStatus::Written) fs::remove(temporary, ec);
  return status;
}

ExportResult Export(const ExportOptions& options, ExportMemory& memory, const ExportHooks& hooks) {
  ExportResult result;
  CRhinoDoc* doc = RhinoApp().ActiveDoc();
  CRhinoView* view = RhinoApp().ActiveView();
  // Documents can change while the dialog stays open: without a document
  // and a view to export, end as a cancelled save would.
  if (!doc || !view || !view->DisplayPipeline()) return result;

  // E-mail: a temporary page named after the document; else the page the
  // user picks.
  result.pagePath = options.sendByMail ? MailPagePath(std::wstring(doc->Title())) : AskForPagePath();
  if (result.pagePath.empty()) {
    if (options.sendByMail) result.status = ExportStatus::NotCreated;
    return result;
  }

  memory.storedTitle = options.title;
  memory.storedAuthor = options.author;
  const std::wstring linkTarget = ComposeLinkTarget(options.linkText, options.linkMode);
  const std::wstring notice = GeneratorNotice();

  if (TryRendererExport(result.pagePath, options, linkTarget, notice))
    result.status = ExportStatus::WrittenByRenderer;
  else if (options.sendByMail)
    result.status = OwnExport(result.pagePath, options, *doc, *view, linkTarget, notice, hooks);
  else
    result.status = ReplacePage(result.pagePath, [&](const std::wstring& path) {
      return OwnExport(path, options, *doc, *view, linkTarget, notice, hooks);
    });

  const bool written = result.status == ExportStatus::Written || result.status == ExportStatus::WrittenByRenderer;
  if (options.sendByMail) {
    if (written) {
      result.mailedBytes =
          DeliverByMail(result.pagePath, options.title, options.zip, RhinoApp().MainWnd(), hooks.hideDialog);
      result.mailed = true;
    } else {
      DiscardMailPage(result.pagePath);
    }
  }
  return result;
}

}  // namespace

ExportResult RunExport(const ExportOptions& options, ExportMemory& memory, const ExportHooks& hooks) {
  ExportResult result = Export(options, memory, hooks);
  if (ExportListener* listener = CurrentExportListener()) listener->OnExportFinished(result);
  return result;
}

}  // namespace zem
