#include "capture/ExportDriver.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <thread>
#include <vector>

#include "capture/CurveWriter.h"
#include "capture/DeliverByMail.h"
#include "capture/ExportContext.h"
#include "capture/ExportListener.h"
#include "capture/ExportSession.h"
#include "capture/MeshWriter.h"
#include "page/ParallelFor.h"
#include "capture/TextDotWriter.h"
#include "capture/ViewWriter.h"
#include "capture/ZEM_Rhino_WebGLExport.h"
#include "delivery/GetTempFolder.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoView.h"
#include "page/TextFormat.h"
#include "standin/platform/CFileDialog.h"
#include "standin/platform/FileFunctions.h"
#include "standin/platform/Heap.h"
#include "standin/platform/InterruptCleanup.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

namespace {

constexpr const char* kRendererPipeline = "ZEM_Rhino_GLPipeline";

bool HasQuote(const std::wstring& text) { return text.find(L'"') != std::wstring::npos; }

}  // namespace

bool zem::TryRendererExport(const std::wstring& targetPath, const zem::ExportOptions& options,
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
ExportStatus WritePage(const std::wstring& targetPath, const ExportOptions& options, CRhinoDoc& doc,
                       const CRhinoView& view, const std::wstring& linkTarget, const std::wstring& notice,
                       const ExportHooks& hooks, std::vector<std::wstring>& unreadTextures) {
  const CDisplayPipelineAttributes display = *view.DisplayPipeline()->DisplayAttrs();
  const int threads = zem::ThreadsFor(options.threads);
  ExportStageTimes times;
  using Clock = std::chrono::steady_clock;
  auto since = [](Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); };
  // The mesh writer reports from the thread that writes the page in order,
  // which is the caller's.
  std::function<void(long long)> progress = hooks.progress;
  if (ExportListener* listener = Session().Listener())
    progress = [listener, &hooks](long long written) {
      if (hooks.progress) hooks.progress(written);
      listener->OnExportProgress(written);
    };
  ExportContext context(doc, display, options, std::move(progress));
  ZEM_Rhino_WebGLExport writer(context);
  auto capturePreview = [&] {
    const auto start = Clock::now();
    writer.CapturePreviewImage();
    times.preview = since(start);
  };
  // With threads to spare, the preview picture is rendered while the scene
  // is written; the picture goes in only with the page's body. The thread
  // is joined on every way out, before the writer goes.
  bool previewOutOfMemory = false;
  std::jthread preview;
  if (hooks.capturePreview && threads > 1)
    preview = std::jthread([&] {
      try {
        capturePreview();
      } catch (const std::bad_alloc&) {
        previewOutOfMemory = true;
      }
      // The renderer's working memory, freed in this thread's own heap, goes
      // back to the system while the scene is still being written.
      zem::ReturnFreeHeapToSystem();
    });
  else if (hooks.capturePreview)
    capturePreview();
  auto stage = Clock::now();
  writer.PrepareMaterialsAndTextures();
  unreadTextures = writer.UnreadTextures();
  times.prepare = since(stage);
  stage = Clock::now();
  writer.SetTexts({.title = options.title,
                   .author = options.author,
                   .authorLink = linkTarget,
                   .notes = options.showNotes ? std::wstring(doc.Properties().Notes().m_notes) : std::wstring(),
                   .createdUsing = notice});
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
  if (previewOutOfMemory) throw std::bad_alloc();
  writer.WriteBody();
  const bool closed = writer.ClosePage();
  times.finish = since(stage);
  if (hooks.times) *hooks.times = times;
  return closed ? ExportStatus::Written : ExportStatus::WriteFailed;
}

// The page written as WritePage writes it; running out of memory fails the
// write (the caller removes what was begun) and is told in the result.
ExportStatus OwnExport(const std::wstring& targetPath, const ExportOptions& options, CRhinoDoc& doc,
                       const CRhinoView& view, const std::wstring& linkTarget, const std::wstring& notice,
                       const ExportHooks& hooks, ExportResult& result) {
  try {
    return WritePage(targetPath, options, doc, view, linkTarget, notice, hooks, result.unreadTextures);
  } catch (const std::bad_alloc&) {
    result.outOfMemory = true;
    return ExportStatus::WriteFailed;
  }
}

// For a folder that takes no new file (one we may not add to): the page is
// written in place. An earlier page is first copied to a private file in the
// temporary folder and put back when the new one cannot be finished, or when
// the process is interrupted meanwhile; when no copy can be made, the earlier
// page is left alone and nothing is written.
ExportStatus WritePageInPlace(const std::filesystem::path& target, const std::wstring& targetPath,
                              const std::function<ExportStatus(const std::wstring&)>& write) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const bool earlier = fs::is_regular_file(target, ec);
  const std::wstring page = FromSystemBytes(target.string());
  InterruptCleanup undo;
  const std::wstring kept =
      earlier ? CreatePrivateFile(GetTempFolder() + L"zem-kept-page-", L".html", &undo) : std::wstring();
  if (earlier && (kept.empty() || !CopyFileBytes(page, kept))) {
    if (!kept.empty()) DeleteFileW(kept.c_str());
    return ExportStatus::NotCreated;
  }
  // From here an interrupt puts the earlier page back (or removes the new one).
  undo = earlier ? InterruptCleanup::Restore(kept, page) : InterruptCleanup::RemoveFile(page);
  const ExportStatus status = write(targetPath);
  bool restored = true;
  if (status == ExportStatus::WriteFailed) {
    if (earlier)
      restored = CopyFileBytes(kept, page);
    else if (fs::is_regular_file(target, ec))
      fs::remove(target, ec);
  }
  // The copy goes only once the page is whole again, whichever page that is.
  undo.Dismiss();
  if (earlier && restored) DeleteFileW(kept.c_str());
  return status;
}

// Writes the page under a temporary name beside it and renames it over the
// target once it is whole, so a failed or interrupted export leaves an
// earlier page as it was. A name too long for the temporary name built on
// it takes a short one. A target that exists but is no regular file (a
// device, say) is written in place, and a link to a page is followed, so the
// link stays.
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
  const std::wstring folder =
      FromSystemBytes((target.parent_path().empty() ? fs::path(".") : target.parent_path()).string());
  InterruptCleanup undo;
  std::wstring temporary =
      CreatePrivateFile(folder + L"/." + FromSystemBytes(target.filename().string()) + L".", L"", &undo);
  if (temporary.empty() && errno == ENAMETOOLONG)
    temporary = CreatePrivateFile(folder + L"/.zem-page-", L".html", &undo);
  if (temporary.empty()) return WritePageInPlace(target, targetPath, write);
  const fs::path native = NativePath(temporary);
  ExportStatus status = write(temporary);
  if (status == ExportStatus::Written) {
    // The private file becomes the user's page, as readable as any file the
    // user makes.
    SetUsualFileMode(temporary);
    fs::rename(native, target, ec);
    if (ec) status = ExportStatus::WriteFailed;
  }
  if (status != ExportStatus::Written) fs::remove(native, ec);
  return status;
}

ExportResult Export(const ExportOptions& options, ExportMemory& memory, const ExportHooks& hooks) {
  ExportResult result;
  CRhinoDoc* doc = RhinoApp().ActiveDoc();
  CRhinoView* view = RhinoApp().ActiveView();
  // Documents can change while the dialog stays open: without a document
  // and a view to export, end as a cancelled save would.
  if (!doc || !view || !view->DisplayPipeline()) return result;

  // E-mail: a temporary page named after the document, in a folder that an
  // interrupted export leaves nowhere; else the page the user picks.
  InterruptCleanup undo;
  result.pagePath = options.sendByMail ? MailPagePath(std::wstring(doc->Title()), &undo) : AskForPagePath();
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
    result.status = OwnExport(result.pagePath, options, *doc, *view, linkTarget, notice, hooks, result);
  else
    result.status = ReplacePage(result.pagePath, [&](const std::wstring& path) {
      return OwnExport(path, options, *doc, *view, linkTarget, notice, hooks, result);
    });

  const bool written = result.status == ExportStatus::Written || result.status == ExportStatus::WrittenByRenderer;
  if (options.sendByMail) {
    if (written) {
      result.mailed = DeliverByMail(result.pagePath, options.title, options.zip, RhinoApp().MainWnd(), hooks.hideDialog,
                                    &result.mailedBytes);
    } else {
      DiscardMailPage(result.pagePath);
    }
  }
  return result;
}

}  // namespace

ExportResult RunExport(const ExportOptions& options, ExportMemory& memory, const ExportHooks& hooks) {
  ExportResult result = Export(options, memory, hooks);
  if (ExportListener* listener = Session().Listener()) listener->OnExportFinished(result);
  return result;
}

}  // namespace zem
